// The program's one application object, run by the framework's entry point.
// Linked only into the program; tests make their own.
#include "app/app.h"

CBrandPdfApp theApp;
