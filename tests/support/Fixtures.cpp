#include "Fixtures.h"

CString FixtureBeside(const char* sourceFile, const char* name)
{
    CString path = CString("Z:") + sourceFile;
    path.Replace("/", "\\");
    int slash = -1;
    for (int i = path.Find('\\'); i >= 0; i = path.Find('\\', i + 1)) slash = i;
    return path.Left(slash + 1) + "fixtures\\" + name;
}
