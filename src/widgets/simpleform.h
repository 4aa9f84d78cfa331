// A window with its caption and an OK button and nothing else: what a window
// is until the work that builds it lands.
#pragma once

#include "form.h"

class TSimpleForm : public TForm {
    Q_OBJECT
public:
    explicit TSimpleForm(const QString& caption, QWidget* parent = nullptr);

protected:
    void FormActivate() override;
};
