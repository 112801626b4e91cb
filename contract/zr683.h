/*
 * The contract between the program and its five interface driver libraries
 * (XCOM683, XKC683, XKC1683, XKU1683, XZR1683).
 *
 * Every library exports the seven entry points below, named after its file
 * (XKU1683_Send and so on), undecorated, with the platform's standard calling
 * convention. Every argument and every result is 32 bits wide. A result of 0
 * is success; 1 to 99 are the library's own codes, whose texts the library's
 * _Error gives. The program calls _Init, _SetConfig, _Send, _Done and _Error;
 * _Version and _GetConfig must exist but are never called.
 *
 * This header is plain C so that libraries written in C can use it too.
 */
#ifndef ZR683_H
#define ZR683_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention: __stdcall on 32-bit Windows (with a .def file so the
 * names stay undecorated), the single C convention everywhere else. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZR683_CALL __stdcall
#else
#define ZR683_CALL
#endif

/* How a library marks its seven entry points for export. */
#if defined(_WIN32)
#define ZR683_EXPORT __declspec(dllexport)
#else
#define ZR683_EXPORT __attribute__((visibility("default")))
#endif

/* ---- Blocks ------------------------------------------------------------ */

/* Request block of _Send: 32-bit words, each holding a byte value.
 * Word 0 module address, 1 command code, 2 command parameter, 3 to 7 the data
 * bytes D1 to D5; words 8 to 99 are room only and carry nothing defined. */
#define ZR683_REQUEST_WORDS 100
#define ZR683_REQ_ADDRESS 0
#define ZR683_REQ_COMMAND 1
#define ZR683_REQ_PARAMETER 2
#define ZR683_REQ_DATA 3 /* D1; D2 to D5 follow */
#define ZR683_DATA_BYTES 5

/* Answer area of _Send: 100 words; the low bytes of words 0 to 3 are the
 * answer bytes A1 to A4. The rest is never read. */
#define ZR683_ANSWER_WORDS 100
#define ZR683_ANSWER_BYTES 4

/* Error-text buffer of _Error: 100 elements, one character code each (low
 * 8 bits, Windows-1250). A text starts at element 1 and ends at the first 0
 * element; a text of 99 characters fills elements 1 to 99 with no 0 after. */
#define ZR683_ERROR_CHARS 100

/* Parameter block of _Init for the LAN converter: 64 bytes, 16 words.
 *   word 0  the IP address text (see below)
 *   word 1  UDP port
 *   word 2  UDP time-out in milliseconds
 * With 32-bit pointers word 0 holds the address of the zero-terminated text.
 * With wider pointers the block carries the text itself: word 0 holds the
 * byte offset ZR683_LAN_TEXT_OFFSET and the zero-terminated text lies in
 * bytes 12 to 63, so it has at most ZR683_LAN_TEXT_MAX characters.
 * The block and the text are valid only during the call. */
#define ZR683_PARAM_WORDS 16
#define ZR683_PARAM_BYTES 64
#define ZR683_LAN_IP 0
#define ZR683_LAN_PORT 1
#define ZR683_LAN_TIMEOUT 2
#define ZR683_LAN_TEXT_OFFSET 12
#define ZR683_LAN_TEXT_MAX (ZR683_PARAM_BYTES - ZR683_LAN_TEXT_OFFSET - 1)

/* The fourth argument of _SetConfig: reserved, always this value. */
#define ZR683_CONFIG_CONSTANT 2

/* ---- Result codes ------------------------------------------------------ */

#define ZR683_OK 0
#define ZR683_LIB_FIRST 1 /* 1 to 99: the library's own codes */
#define ZR683_LIB_LAST 99
#define ZR683_E_REQUEST 9  /* the program could not build the request */
#define ZR683_E_UNBOUND 10 /* no entry point bound, or interface type above 4 */
#define ZR683_E_LOAD 100   /* 100 + type: the library file cannot be loaded */
#define ZR683_E_ENTRY 110  /* 110 + type: the library lacks an entry point */

/* ---- Interface types --------------------------------------------------- */

#define ZR683_TYPE_COM 0 /* standard COM port, XCOM683 */
#define ZR683_TYPE_ISA 1 /* ISA card KC-683, XKC683 */
#define ZR683_TYPE_PCI 2 /* PCI card KC-1683, XKC1683 */
#define ZR683_TYPE_USB 3 /* USB converter KU-1683, XKU1683 */
#define ZR683_TYPE_LAN 4 /* LAN converter ZR-1683 over UDP, XZR1683 */
#define ZR683_TYPE_COUNT 5
/* The library of each interface type, in type order: NAME.so, whose entry
   points are NAME_Version ... NAME_Error. An initialiser for an array of
   ZR683_TYPE_COUNT texts. */
#define ZR683_LIBRARY_NAMES                                                                        \
    { "XCOM683", "XKC683", "XKC1683", "XKU1683", "XZR1683" }

/* ---- Entry points ------------------------------------------------------ */

/* The seven entry points in one list: ZR683_ENTRY_POINTS(X) expands X(name)
 * for each, so the binding, the export list of the build and the tests all
 * take the names from here. Keep it on one line (the build reads it). */
#define ZR683_ENTRY_POINTS(X) X(Version) X(Init) X(SetConfig) X(GetConfig) X(Send) X(Done) X(Error)

/* NAME_Version: the library's version as a number (major * 100 + minor).
 * Must exist; the program never calls it. */
typedef uint32_t(ZR683_CALL* zr683_version_fn)(void);

/* NAME_Init opens a connection. It writes a non-zero handle into *handle and
 * returns 0, or returns a code 1 to 99 (then *handle is left 0). Handles are
 * small numbers indexing a table inside the library. Three shapes:
 *   types 0 and 1: (handle, word 0 of the parameter block): the COM port
 *                  number, or the ISA card's base address;
 *   types 2 and 3: (handle) alone;
 *   type 4:        (handle, the 64-byte parameter block above).
 * Init must not send anything that could reach beyond the given device or
 * address. */
typedef uint32_t(ZR683_CALL* zr683_init_word_fn)(uint32_t* handle, uint32_t word0);
typedef uint32_t(ZR683_CALL* zr683_init_fn)(uint32_t* handle);
typedef uint32_t(ZR683_CALL* zr683_init_lan_fn)(uint32_t* handle, const uint32_t* params);

/* NAME_SetConfig sets the line up: baud rate in Bd, the wait value (the
 * answer time-out in milliseconds) and the constant 2 (reserved, must be 2).
 * Returns 0 when the line is set up (probe mode: below). */
typedef uint32_t(ZR683_CALL* zr683_setconfig_fn)(uint32_t handle, uint32_t baud, uint32_t wait,
                                                 uint32_t constant);

/* Probe mode of the wait value, for a scan asking whether a module is there.
 * With bit 31 set, bits 0 to 15 are the answer time-out in milliseconds as
 * without it, and every _Send also gives up early: when the answer's first
 * character has not arrived by the time it is due (the request's time on the
 * line, the line silence, the module's turnaround of 2 ms and one character,
 * plus what the PC's serial device may hold a character back), _Send returns
 * 6 at once. An answer that has begun is read whole within the time-out.
 * Bits 16 to 30 give the time in milliseconds the path to the line and back
 * adds to that (the LAN converter's round trip as the caller measured it);
 * the LAN library takes at most its UDP time-out for it, a serial library
 * none. Over the LAN the converter reports the first character with an
 * AnswerBegins frame. Wait values without bit 31 keep their meaning. */
#define ZR683_WAIT_FIRST_CHARACTER 0x80000000u
#define ZR683_WAIT_TIMEOUT_MASK 0xFFFFu
#define ZR683_WAIT_PATH_SHIFT 16
#define ZR683_WAIT_PATH_MAX 0x7FFFu
/* The probe-mode wait value of a time-out and a path time, both in ms. */
#define ZR683_PROBE_WAIT(timeout, path)                                                            \
    (ZR683_WAIT_FIRST_CHARACTER |                                                                  \
     (((uint32_t)(path)&ZR683_WAIT_PATH_MAX) << ZR683_WAIT_PATH_SHIFT) |                           \
     ((uint32_t)(timeout)&ZR683_WAIT_TIMEOUT_MASK))

/* NAME_GetConfig reads back what _SetConfig set. Must exist; never called. */
typedef uint32_t(ZR683_CALL* zr683_getconfig_fn)(uint32_t handle, uint32_t* baud, uint32_t* wait,
                                                 uint32_t* constant);

/* NAME_Send carries one exchange with the module: it sends the request block
 * and waits for the matching answer. On every call it writes the module's
 * status byte into *status, the answer bytes A1 to A4 into answer words 0 to
 * 3 and a result code into *result, and returns 0 or a code. The program
 * takes a non-zero return as the result, else *result. */
typedef uint32_t(ZR683_CALL* zr683_send_fn)(uint32_t handle, const uint32_t* request,
                                            uint32_t* answer, uint32_t* status, uint32_t* result);

/* NAME_Done ends the connection. The program unloads the library right after
 * it and keeps whatever value the library left in *handle. A second call with
 * a closed handle is harmless. */
typedef uint32_t(ZR683_CALL* zr683_done_fn)(uint32_t* handle);

/* NAME_Error fills the 100-element buffer with the text of a code. It knows
 * texts for 0, for each of its own codes 1 to 99, and for the program's own
 * codes 9 and 10. It never writes beyond element 99. */
typedef uint32_t(ZR683_CALL* zr683_error_fn)(uint32_t code, uint32_t* buffer);

/* The seven entry points of one library as a program binds them, named as in
 * ZR683_ENTRY_POINTS. Init is kept untyped: its shape depends on the
 * interface type and is chosen when it is called. */
typedef void (*zr683_untyped_fn)(void);
typedef struct zr683_entry_points {
    zr683_version_fn Version;
    zr683_untyped_fn Init;
    zr683_setconfig_fn SetConfig;
    zr683_getconfig_fn GetConfig;
    zr683_send_fn Send;
    zr683_done_fn Done;
    zr683_error_fn Error;
} zr683_entry_points;

#ifdef __cplusplus
}
#endif

#endif /* ZR683_H */
