#pragma once

// Whether the program can show windows here. Without a display it must say so in one line
// instead of letting the windowing layer abort.
class HLDisplayCheck
{
public:
    // True when a display is named (X or Wayland) or a platform is chosen explicitly.
    static bool hasDisplay();
    // Turns the windowing layer's fatal "no display" messages into one line and exit 1.
    static void installFatalHandler();
};
