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

VANTREL_SIMPLE_FORM(TComForm, "Select port");
VANTREL_SIMPLE_FORM(TSelTextForm, "Select Text");
VANTREL_SIMPLE_FORM(TQskForm, "QSK");
VANTREL_SIMPLE_FORM(TRatioForm, "Mode");
VANTREL_SIMPLE_FORM(TFSKForm, "DFCW");
VANTREL_SIMPLE_FORM(TCwIdForm, "CW identification");
VANTREL_SIMPLE_FORM(TTimeForm, "External timing source");

extern TComForm* ComForm;
extern TSelTextForm* SelTextForm;
extern TQskForm* QskForm;
extern TRatioForm* RatioForm;
extern TFSKForm* FSKForm;
extern TCwIdForm* CwIdForm;
extern TTimeForm* TimeForm;
