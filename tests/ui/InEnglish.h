#pragma once
// The English window's tests: a fixture of the window (or of anything) with
// the English texts loaded for each test and the Polish ones again after it.

#include "KxApplication.h"
#include "LanguageChoice.h"

inline KxApplication& App() {
    return *qobject_cast<KxApplication*>(QCoreApplication::instance());
}

template <class Fixture> class InEnglish : public Fixture {
protected:
    void SetUp() override {
        App().LoadTranslations(Language::English);
        Fixture::SetUp();
    }
    void TearDown() override {
        Fixture::TearDown();
        App().LoadTranslations(Language::Polish);
    }
};
