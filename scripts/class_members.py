#!/usr/bin/env python3
# Counts the members of a class: functions and fields declared in its body, a nested class counted once.
# Usage: scripts/class_members.py app/Kestrun.h Kestrun [-v]
import re
import sys


def body_of(text, name):
    m = re.search(r'\b(class|struct)\s+' + re.escape(name) + r'\b[^;{]*\{', text)
    if not m:
        sys.exit('no class ' + name)
    depth, i = 1, m.end()
    while depth:
        depth += {'{': 1, '}': -1}.get(text[i], 0)
        i += 1
    return text[m.end():i - 1]


def statements(body):
    out, cur, depth, i = [], '', 0, 0
    while i < len(body):
        c = body[i]
        cur += c
        if c == '{':
            depth += 1
        elif c == '}':
            depth -= 1
            if depth == 0 and not re.match(r'\s*(class|struct|enum|union)\b', cur) and '=' not in cur.split('{')[0]:
                out.append(cur)  # a function defined in the body
                cur = ''
        elif c == ';' and depth == 0:
            out.append(cur)
            cur = ''
        elif c == ':' and depth == 0 and re.fullmatch(r'\s*(public|protected|private|signals|Q_SIGNALS)(\s+(slots|Q_SLOTS))?\s*:', cur):
            cur = ''  # an access label
        i += 1
    return [s.strip() for s in out if s.strip() and s.strip() != ';']


def count(stmt):
    s = re.sub(r'\bQ_OBJECT\b', '', stmt).strip()
    if not s:
        return 0
    if re.match(r'(class|struct|enum|union)\b', s):
        return 1  # a nested type, counted once
    if '(' in s.split('=')[0].split('{')[0]:
        return 1  # a function
    top = re.sub(r'\{[^{}]*\}|\[[^\]]*\]|<[^<>]*>', '', s)
    return top.count(',') + 1  # fields, one per declarator


text = re.sub(r'//[^\n]*|/\*.*?\*/', '', open(sys.argv[1]).read(), flags=re.S)
members = statements(body_of(text, sys.argv[2]))
total = 0
for st in members:
    n = count(st)
    total += n
    if '-v' in sys.argv:
        print(n, ' '.join(st.split())[:100])
print(total)
