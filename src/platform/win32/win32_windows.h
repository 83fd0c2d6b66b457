// <windows.h> for the win32 backend, without the function-name macros that
// collide with the operations of the platform interfaces (CreateDirectory,
// MessageBox, ...). Code here calls the W functions by their full names.
#pragma once

#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef InitiateShutdown
#undef MessageBox
#undef MoveFile
#undef RemoveDirectory
#undef ReplaceFile
#undef SetCurrentDirectory
