#pragma once
// PsyQrDcd.dll: decodes the QR codes of a BMP file. All functions are __stdcall with undecorated export names;
// results stay inside the DLL until the next DecodePictureFile or FreeAllocateMemory.
#ifdef PSYQRDCD_BUILD
#define PSYQRDCD_API extern "C" __declspec(dllexport)
#else
#define PSYQRDCD_API extern "C" __declspec(dllimport)
#endif

// Symbols found (>= 1), 0 when none; -1 file not found, -2 read error, -3 not a readable BMP,
// -4 sharing violation, -5 out of memory. `path` is an ANSI (code page 936) path.
PSYQRDCD_API int __stdcall DecodePictureFile(const char* path);
PSYQRDCD_API int __stdcall GetDecodeVersion(int i);  // 1..40, 0 for a bad index
PSYQRDCD_API int __stdcall GetDecodeLevel(int i);    // 0 L, 1 M, 2 Q, 3 H; 0 for a bad index
// Total symbols of the structured-append sequence, with the 0-based position and the parity byte; 0 when the
// symbol is not part of one (outputs untouched).
PSYQRDCD_API int __stdcall GetConcatenationInfo(int i, int* position, int* parity);
PSYQRDCD_API const char* __stdcall GetDecodeDataString(int i);  // UTF-8, "" for a bad index
// x1,y1 .. x4,y4: top-left, top-right, bottom-right, bottom-left in image pixels; 1, or 0 for a bad index.
PSYQRDCD_API int __stdcall GetSymbolePosition(int i, int* points);
PSYQRDCD_API int __stdcall FreeAllocateMemory(void);
