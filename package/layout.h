/* The stub's three records as a file format: markers, sizes and field offsets.
   Shared by the stub (C and C++) and the publisher tool. */
#ifndef BRANDPDF_PACKAGE_LAYOUT_H
#define BRANDPDF_PACKAGE_LAYOUT_H

#define BP_MARKER_LENGTH 60
#define BP_TRAILER_LENGTH (BP_MARKER_LENGTH + 4)

#define BP_PACKAGE_PAYLOAD 10100
#define BP_RESERVED_PAYLOAD 1000
#define BP_BRANDING_PAYLOAD 3000
#define BP_PACKAGE_BLOCK (BP_MARKER_LENGTH + BP_PACKAGE_PAYLOAD + BP_TRAILER_LENGTH)
#define BP_RESERVED_BLOCK (BP_MARKER_LENGTH + BP_RESERVED_PAYLOAD + BP_TRAILER_LENGTH)
#define BP_BRANDING_BLOCK (BP_MARKER_LENGTH + BP_BRANDING_PAYLOAD + BP_TRAILER_LENGTH)

/* Package record fields, from the first byte of the marker. */
#define BP_HAS_DOCUMENT_AT 60
#define BP_DOCUMENT_OFFSET_AT 160
#define BP_DOCUMENT_LENGTH_AT 164
#define BP_DOCUMENT_NAME_AT 168
#define BP_DOCUMENT_NAME_SIZE 9992
#define BP_PLACEHOLDER_AT 160
#define BP_PLACEHOLDER_LENGTH 50

#define BP_PACKAGE_MARKER "pmaxr[ut095noosernf34985y9237yrjnlms84thzcne9hwjoelkm8u59843"
#define BP_RESERVED_MARKER "pdfxr[ut095noosernf34985y9237yrjnlms84thzcne9hwjoelkm8u59843"
#define BP_BRANDING_MARKER "EjgssUzOAi0PnBMZnEn6VTvU8jFwj7PQ3Wetq4YwZsdwqWZsUl8TjnONksF6"
#define BP_PLACEHOLDER "12345678901234567890123456789012345678901234567890"

/* Branding record slots in a stub as built: 30 slots of 100 bytes, each
   "1234567890" repeated, cut after 99 characters, then a zero byte. */
#define BP_BRANDING_SLOTS 30
#define BP_BRANDING_SLOT 100

#ifdef __cplusplus
extern "C" {
#endif
/* The running program's record table: branding, reserved, package. */
extern unsigned char* const volatile bp_record_table[3];
#ifdef __cplusplus
}
#endif

#endif
