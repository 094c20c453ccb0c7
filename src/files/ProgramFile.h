#pragma once
#include <string>
#include "ProgramSet.h"
bool WriteProgramFile(const std::string& path, const ProgramSet& set);
bool ReadProgramFile(const std::string& path, ProgramSet& set);
std::string FileCaption(const std::string& currentFile);
