#include "ModifiedFlag.h"

void ModifiedFlag::MarkModified() {
    set_ = true;
    const std::string caption = caption_.Caption();
    if (caption.empty() || caption.back() != '*') {
        caption_.SetCaption(caption + "*");
    }
}
