#include <xtbasis/checksum.h>

#include "crc_tables.h"

uint32_t XTCalcCRC(const void* data, uint32_t count) {
  xtb::crc::Register crc;
  if (data != nullptr) crc.Update(data, count);
  return crc.Value();
}
