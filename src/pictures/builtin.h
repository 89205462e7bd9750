#pragma once

#include "pictures/iconfile.h"

#include <QString>

// Pictures compiled into the program, by file name, e.g. "chalk0.ico" or "チョーク.cur".
// An unknown name gives a null image; that is a build fault, not a user's.
IconFileImage builtInPicture(const QString &fileName);
