// The workbooks of tests/source/fixtures (written by make_fixtures.py there), named as the
// Windows program sees them: the checkout's folder through drive Z:.
#pragma once
#include "framework/String.h"

inline CString FixturePath(const char* name)
{
    // This header's own path, as the compiler was given it: /<checkout>/tests/source/Fixtures.h.
    CString path = CString("Z:") + __FILE__;
    path.Replace("/", "\\");
    int slash = -1;
    for (int i = path.Find('\\'); i >= 0; i = path.Find('\\', i + 1)) slash = i;
    return path.Left(slash + 1) + "fixtures\\" + name;
}
