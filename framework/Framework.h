// The program's application framework: application object, windows, dialogs, controls,
// strings and drawing objects.
#pragma once
#include "framework/String.h"
#include "framework/StringArray.h"
#include "framework/Wnd.h"
#include "framework/Dialog.h"
#include "framework/Controls.h"
#include "framework/ImageList.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
