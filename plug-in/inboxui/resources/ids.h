// String, dialog and control ids of the UI plug-in's resources. Included by the .rc files and
// by the code, so only preprocessor definitions belong here.
#pragma once
