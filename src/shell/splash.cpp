#include "shell/splash.h"
#include "shell/menue.h"

Splash::Splash(Menue &menue, QWidget *parent)
    : QWidget(parent)
    , m_menue(menue)
{ }

void Splash::Form_Load()
{
    m_menue.show();
    m_menue.setVisible(false);
    close();
    m_menue.show();
}
