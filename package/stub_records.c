/* The records as the stub is built: initialised data that a packaging tool
   overwrites in the executable file. The program reads them through a volatile
   table, so the compiler can never fold the values it sees here into the code:
   a packed stub must see the bytes the packer wrote. */
#include "package/layout.h"

/* Byte arrays initialised from literals exactly as long as the array: C keeps
   no terminating zero, so each marker is stored once at the start and once in
   the trailer, and nowhere else. */
struct bp_package_block {
  char marker[BP_MARKER_LENGTH];
  char payload[BP_PACKAGE_PAYLOAD];
  char trailer[BP_MARKER_LENGTH];
  char trailer_end[4];
};
struct bp_reserved_block {
  char marker[BP_MARKER_LENGTH];
  char payload[BP_RESERVED_PAYLOAD];
  char trailer[BP_MARKER_LENGTH];
  char trailer_end[4];
};
struct bp_branding_block {
  char marker[BP_MARKER_LENGTH];
  char slots[BP_BRANDING_SLOTS][BP_BRANDING_SLOT];
  char trailer[BP_MARKER_LENGTH];
  char trailer_end[4];
};
struct bp_records {
  struct bp_package_block package;
  struct bp_reserved_block reserved;
  struct bp_branding_block branding;
};

#define BP_SLOT "123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"

/* Contiguous, in the order package, reserved, branding; all members are
   char arrays, so there is no padding between them. */
struct bp_records bp_records = {
  { BP_PACKAGE_MARKER,
    /* payload: zero but the unfilled-stub placeholder at offset 160 */
    { [BP_PLACEHOLDER_AT - BP_MARKER_LENGTH] = '1','2','3','4','5','6','7','8','9','0',
      '1','2','3','4','5','6','7','8','9','0', '1','2','3','4','5','6','7','8','9','0',
      '1','2','3','4','5','6','7','8','9','0', '1','2','3','4','5','6','7','8','9','0' },
    BP_PACKAGE_MARKER, {0, 0, 0, 0} },
  { BP_RESERVED_MARKER, {0}, BP_RESERVED_MARKER, {0, 0, 0, 0} },
  { BP_BRANDING_MARKER,
    { BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT, BP_SLOT },
    BP_BRANDING_MARKER, {0, 0, 0, 0} },
};

unsigned char* const volatile bp_record_table[3] = {
  (unsigned char*)&bp_records.branding,
  (unsigned char*)&bp_records.reserved,
  (unsigned char*)&bp_records.package,
};
