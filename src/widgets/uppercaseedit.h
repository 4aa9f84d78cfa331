// A one-line edit whose letters become upper case as they are typed or set,
// keeping the caret. It holds only characters that a single-byte text can
// carry (Latin-1): others are dropped as they are typed.
#pragma once

#include <QLineEdit>

class UpperCaseEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit UpperCaseEdit(QWidget* parent = nullptr);
};

// `text` with its letters in upper case and without characters outside Latin-1.
QString UpperLatin1(const QString& text);
