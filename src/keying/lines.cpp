#include "lines.h"

#include "io/portdriver.h"

void PortLines::SetKey(bool on) { ::SetKey(on); }
void PortLines::SetPtt(bool on) { ::SetPtt(on); }
void PortLines::SetDfcw(bool level) { ::SetDfcw(level); }
bool PortLines::PortIsOpen() const { return PortOpen; }
std::string PortLines::PortNote() const { return ::PortNote(); }
