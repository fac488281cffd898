// The JSON form of a scene block: every field in readable units, the uninterpreted bytes as hex.
#pragma once

#include <QByteArray>
#include <QString>

class SceneJson
{
public:
    // The indented JSON text of a 4096-byte block (gains in the processor's encoding, as in a file);
    // false with the field's path when a stored code lies outside the field's valid range.
    static bool write(const QByteArray &block, QByteArray *json, QString *why);
    // The 4096-byte block of a JSON text; false with the line of a syntax error, or the path of a field
    // that is missing, unknown, of the wrong type or outside its range.
    static bool read(const QByteArray &json, QByteArray *block, QString *why);
};
