#pragma once

#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPaintEvent;
class QShowEvent;

namespace Corvath {

// What every window of the program does alike: Form_Load runs once, as it is first shown and
// before it is painted, and a background picture, when it has one, lies under its controls.
template<class Base> class Form : public Base
{
public:
    explicit Form(const QString &background, QWidget *parent)
        : Base(parent)
        , m_background(background)
    { }

    virtual void Form_Load() = 0;

protected:
    void showEvent(QShowEvent *event) override
    {
        // Once per window: showing it again while it is open keeps where the user put it.
        if (!m_loaded) {
            m_loaded = true;
            Form_Load();
        }
        Base::showEvent(event);
    }

    void paintEvent(QPaintEvent *event) override
    {
        if (m_background.isNull()) {
            Base::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_background);
    }

private:
    QPixmap m_background;
    bool m_loaded = false;
};

// Shows the one window of its kind, made by make() when there is none, or brings it up again
// when it is open. A closed window may wait a moment for its deletion; it is hidden by then
// and is replaced, not reused.
template<class Window, class Make> void bringUp(QPointer<Window> &window, Make make)
{
    if (!window || window->isHidden()) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace Corvath
