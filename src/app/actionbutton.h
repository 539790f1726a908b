#pragma once

#include <QPushButton>

// A push button that Enter and keypad Enter press, as well as Space, while it has the focus.
class ActionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
