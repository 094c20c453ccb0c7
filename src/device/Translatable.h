#pragma once
// Marks a text that the window shows translated: the text itself here (the
// device layer knows no languages); the window's translation tools collect
// every KX_TRANSLATABLE(context, text) and the window looks the text up under
// that context (QCoreApplication::translate).
#define KX_TRANSLATABLE(context, text) text
