// The workbooks of tests/source/fixtures (written by make_fixtures.py there), named as the
// Windows program sees them: the checkout's folder through drive Z:.
#pragma once
#include "support/Fixtures.h"

inline CString FixturePath(const char* name)
{
    return FixtureBeside(__FILE__, name);
}
