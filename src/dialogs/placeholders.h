// Setup dialogs that are, for now, their caption and an OK button. Each moves
// to a file pair of its own when it is built; until then they change nothing.
#pragma once

#include "widgets/simpleform.h"

#include <cstdint>

#define VANTREL_SIMPLE_FORM(Class, Caption)                                             \
    class Class : public TSimpleForm {                                                  \
    public:                                                                             \
        explicit Class(QWidget* parent = nullptr) : TSimpleForm(QStringLiteral(Caption), parent) {} \
    }

VANTREL_SIMPLE_FORM(TTimeForm, "External timing source");

extern TTimeForm* TimeForm;
