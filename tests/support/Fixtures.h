// Workbook fixtures committed beside the test sources, named as the Windows program sees
// them: the checkout's folder through drive Z:.
#pragma once
#include "framework/String.h"

// `name` in the fixtures folder next to the source file `sourceFile` (pass __FILE__).
CString FixtureBeside(const char* sourceFile, const char* name);
