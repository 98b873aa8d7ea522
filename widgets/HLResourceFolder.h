#pragma once

#include <QString>

// The folder of the program's resources (templates, interface pictures): the installed
// share folder beside the executable when there is one, else the source tree's Resources.
class HLResourceFolder
{
public:
    static QString path();
};
