// The shim keeps every declaration in one header.
#pragma once
#include <windows.h>
