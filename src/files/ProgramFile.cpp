#include "ProgramFile.h"
bool WriteProgramFile(const std::string&, const ProgramSet&) { return false; }
bool ReadProgramFile(const std::string&, ProgramSet&) { return false; }
std::string FileCaption(const std::string&) { return {}; }
