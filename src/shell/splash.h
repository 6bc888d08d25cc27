#pragma once

#include <QWidget>

class Menue;

// The start window: never made visible, it brings up the main window and closes itself.
class Splash final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Splash)

public:
    explicit Splash(Menue &menue, QWidget *parent = nullptr);

    void Form_Load();

private:
    Menue &m_menue;
};
