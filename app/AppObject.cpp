// The one application object of the program.
#include "app/ConverterApp.h"

CConverterApp theApp;
