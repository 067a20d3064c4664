// The application's own precompiled-header stand-in that glEntryHub.cpp includes first.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
