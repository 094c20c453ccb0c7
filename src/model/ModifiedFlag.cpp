#include "ModifiedFlag.h"

void ModifiedFlag::MarkModified() { set_ = true; }
