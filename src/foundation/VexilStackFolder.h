#pragma once

#include <QString>

// The option StackFolder: the folder whose stack files the transfer server lists, sends and
// stores. Empty when no folder is set; the options set it at start-up.
inline QString gStackFolder;
