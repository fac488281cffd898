// The tooltips of every control of the main window, by control family, in the current language.
#pragma once

class Kestrun;
class Language;

class Tooltips
{
public:
    // Sets the tooltip of every control; run at start and after each language switch.
    static void apply(Kestrun &window, const Language &language);
};
