// Included by mingw-w64's winddi.h but absent from the packages; nothing of it is used.
#pragma once
