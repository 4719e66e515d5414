#include "CliInterrupt.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

} // namespace

CliInterrupt::CliInterrupt()
{
    g_interrupted = 0;
    m_previous = std::signal(SIGINT, onInterrupt);
}

CliInterrupt::~CliInterrupt()
{
    std::signal(SIGINT, m_previous);
}

bool CliInterrupt::Requested()
{
    return g_interrupted != 0;
}
