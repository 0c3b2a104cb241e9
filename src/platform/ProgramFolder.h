#pragma once

#include <QString>

// The folder of the program's own files: $CORVINATONE_HOME when set, else the executable's folder.
QString programFolder();
