#include "app/FontWarmUp.h"

#include "model/SecondThread.h"

#include <fontconfig/fontconfig.h>

namespace korvane {

FontWarmUp::FontWarmUp() : m_thread(onSecondThread([] { FcInit(); })) {}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace korvane
