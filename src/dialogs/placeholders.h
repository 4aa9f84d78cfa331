// Setup dialogs that are, for now, their caption and an OK button. Each moves
// to a file pair of its own when it is built; until then they change nothing.
#pragma once

#include "app/simpleform.h"

#include <cstdint>

#define VANTREL_SIMPLE_FORM(Class, Caption)                                             \
    class Class : public TSimpleForm {                                                  \
    public:                                                                             \
        explicit Class(QWidget* parent = nullptr) : TSimpleForm(QStringLiteral(Caption), parent) {} \
    }

VANTREL_SIMPLE_FORM(TRepeatForm, "Repeat text");
VANTREL_SIMPLE_FORM(TWarnForm, "Alarm time");
VANTREL_SIMPLE_FORM(TToneForm, "Sound");
VANTREL_SIMPLE_FORM(TSyncForm, "Synchronisation");
VANTREL_SIMPLE_FORM(TTimeForm, "External timing source");

extern TRepeatForm* RepeatForm;
extern TWarnForm* WarnForm;
extern TToneForm* ToneForm;
extern TSyncForm* SyncForm;
extern TTimeForm* TimeForm;
