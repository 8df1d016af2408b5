// The program's application framework: application object, windows, dialogs, controls,
// strings and drawing objects.
#pragma once
#include "String.h"
#include "StringArray.h"
#include "Wnd.h"
#include "Dialog.h"
#include "Controls.h"
#include "ImageList.h"
#include "Gdi.h"
#include "WinApp.h"
