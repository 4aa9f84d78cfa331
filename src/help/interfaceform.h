// TInterfaceForm: the schematic of the keying interface and how to wire it.
// The OK button closes it.
#pragma once

#include "widgets/form.h"

class QPlainTextEdit;
class QPushButton;
class TSchematic;

class TInterfaceForm : public TForm {
    Q_OBJECT
public:
    explicit TInterfaceForm(QWidget* parent = nullptr);

    TSchematic* Image1;
    QPlainTextEdit* Memo1;
    QPushButton* OkBitBtn;
};

extern TInterfaceForm* InterfaceForm;
