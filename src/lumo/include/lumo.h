/*
 * lumo.h: the film engine's one public header.
 *
 * lumo composes a screen picture from a tree of bitmap layers ("films") and
 * animates them with small word programs ("actions"). A host loads liblumo.so,
 * starts the engine with InitializeLumo(), builds films and actions by their
 * small integer IDs, and receives finished frames in a surface of its own.
 *
 * Index
 *   [SECTION] Exports and basic types
 *   [SECTION] Surfaces and handles
 *   [SECTION] Notifications
 *   [SECTION] Identifiers: settings, engine properties, film types
 *   [SECTION] Identifiers: film properties and methods
 *   [SECTION] Identifiers: actions, opcodes, states
 *   [SECTION] Identifiers: redraw sets and notification codes
 *   [SECTION] The text mark language
 *   [SECTION] Functions
 *
 * Results: unless a function says otherwise it returns 0 on success and -1 on
 * failure. Every function except InitializeLumo, TerminateLumo,
 * SetLumoSetting, RaiseLumoEvent, GetRedrawFuncs, BitBltMask, WaitBlt,
 * ExeQueue and GetTextElement returns -1 at once while the engine is not
 * running.
 *
 * Threads: every function may be called from any one host thread. The engine
 * runs one thread of its own (the frame loop) and one that delivers
 * notifications. Reads (GetFilmProp, GetActProp) and creations (AddFilm,
 * AddAction) wait for a batch of commands that another thread is running,
 * so they never see a film or action half changed. Call InitializeLumo and
 * TerminateLumo while no other thread is inside lumo.
 *
 * Queued and direct calls: a "queued" function appends a command. While
 * LP_AUTO_REDRAW is 0 it then runs the queue itself (ExeQueue) before it
 * returns, so the change has happened on return; while LP_AUTO_REDRAW is
 * nonzero the command waits for the engine thread's next frame, and reading
 * the property right after the call still gives the old value. A "direct"
 * function acts at once in the caller's thread.
 */
#ifndef LUMO_H
#define LUMO_H

#include <stdint.h>

/* [SECTION] Exports and basic types =================================== */

#if defined(LUMO_BUILD)
#define LUMO_API __attribute__((visibility("default")))
#else
#define LUMO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* [SECTION] Surfaces and handles ======================================== */

/*
 * A surface is a pixel buffer: rows top-down, `stride` bytes apart (for
 * colour surfaces the row length rounded up to a multiple of 4), each pixel
 * `bytes_per_pixel` bytes: 3 for colour (blue, green, red in memory), 1 for
 * alpha maps and masks (0 transparent, 255 opaque; stride = width).
 *
 * Handles. On this platform every "device context" and "pixel buffer handle"
 * of the engine is a pointer to a LumoSurface. A handle does not fit a 32-bit
 * value word on a 64-bit system, so the properties and arguments that carry a
 * handle carry one pointer instead:
 *   - GetFilmProp with FP_IMAGE_DC, FP_IMAGE_OBJECT (both the colour image),
 *     FP_ALPHA_OBJECT (the alpha map) or FP_MASK_OBJECT (the mask) writes a
 *     `LumoSurface *` to the result address: pass the address of a
 *     `LumoSurface *` variable.
 *   - SetFilmProp with FP_SCREEN_DC reads a `LumoSurface *` at the value
 *     address (the host's own surface; a null pointer there: none).
 *   - SetFilmProp with FP_REDRAW_PROC reads a `const LumoRedrawFuncs *` at
 *     the value address (null there, or a null value address: uninstall).
 *   - BitBltMask takes surface pointers directly.
 * A film's surfaces keep their address for the film's life; their `pixels`,
 * size and stride change when the film's image or mask is resized, so read
 * them again after FP_IMAGE_SIZE, FP_MASK_SIZE, FP_IMAGE_MASK_SIZE or
 * FM_TRIM. The host may read and write a film's pixels only between its own
 * calls while LP_AUTO_REDRAW is 0, or while no frame is being composed.
 *
 * The host's screen surface (FP_SCREEN_DC) is owned by the host: it must be a
 * 3-byte surface at least as large as the screen film, and stay valid until
 * it is replaced or the film is removed. The engine changes none of its fields.
 * Each present step runs where the queue runs (normally the engine thread;
 * in immediate mode sometimes the host's own thread, inside one of its
 * queued calls) and, for the changed rectangle only:
 * calls `lock` (if set), copies the pixels, calls `unlock` (if set), then
 * calls `presented` (if set) with the rectangle that changed (left and top
 * inclusive, right and bottom exclusive), so the host never has to poll.
 * These callbacks must return promptly (typically: push an event to the UI
 * thread); they may call lumo's direct functions, but not TerminateLumo.
 */
typedef struct LumoSurface {
    int32_t width;
    int32_t height;
    int32_t stride;          /* bytes from one row to the next */
    int32_t bytes_per_pixel; /* 3 colour, 1 alpha map or mask */
    uint8_t* pixels;         /* width x height pixels, or null when 0 x 0 */

    /* Host-owned screen surfaces only; the engine's own leave them null. */
    void* context;
    void (*lock)(void* context);
    void (*unlock)(void* context);
    void (*presented)(void* context, int32_t left, int32_t top, int32_t right, int32_t bottom);
} LumoSurface;

/* Engine-internal film record; the host only passes redraw tables around. */
struct LumoFilm;

/*
 * A redraw procedure table from GetRedrawFuncs. The host never calls the
 * routines: it installs the table on a film with FP_REDRAW_PROC.
 */
typedef struct LumoRedrawFuncs {
    int32_t (*start)(struct LumoFilm* film);  /* nonzero refuses the install */
    int32_t (*finish)(struct LumoFilm* film); /* at uninstall or removal */
    int32_t (*step)(struct LumoFilm* film);   /* replaces the film's redraw */
} LumoRedrawFuncs;

/* [SECTION] Notifications ============================================== */

/*
 * The notification "window" is a callback with a context pointer. Set it with
 * SetLumoSetting(LS_NOTIFY_WINDOW, &window) where window is a
 * LumoNotifyWindow; a null value address or a null `proc` sets none. Set the
 * message number with SetLumoSetting(LS_NOTIFY_MESSAGE, &number).
 *
 * Notifications are posted, never sent: the engine appends them to a queue
 * and goes on; a thread of the engine calls `proc` for each, in order,
 * outside every engine lock. The callback may therefore call any lumo
 * function except TerminateLumo, and a slow callback never delays a frame.
 * `wparam` = code * 65536 + (ID & 0xFFFF) with code one of the EV_ values,
 * `lparam` as the table of EV_ values says. Notifications still queued when
 * the engine terminates are dropped. Setting another window drops what the
 * old one has not received yet and waits for a call of it in progress, so
 * the host may free the old context once SetLumoSetting returns.
 */
typedef void (*LumoNotifyProc)(void* context, uint32_t message, int32_t wparam, int32_t lparam);

typedef struct LumoNotifyWindow {
    LumoNotifyProc proc;
    void* context;
} LumoNotifyWindow;

/* [SECTION] Identifiers: settings, engine properties, film types ======== */

/* SetLumoSetting. The first four can be changed only while stopped. */
enum LumoSetting {
    LS_MAX_FILMS = 0x20002,      /* film table size, default 100 */
    LS_MAX_SCREENS = 0x20003,    /* screen table size, default 1 */
    LS_SPARE = 0x20004,          /* stored, no effect, default 1000 */
    LS_MAX_ACTIONS = 0x20005,    /* action table size, default 100 */
    LS_FRAME_RATE = 0x20006,     /* frames per second, default 30 (below 1: 33 ms frames) */
    LS_NOTIFY_WINDOW = 0x20007,  /* value: LumoNotifyWindow */
    LS_NOTIFY_MESSAGE = 0x20008, /* value: message number, default 0 */
    LS_TEXT_ENCODING = 0x20009,  /* text, marks and face names: LUMO_TEXT_CP932 (default) or
                                    LUMO_TEXT_UTF8; only while stopped */
    LS_TEXT_LANGUAGE = 0x2000A,  /* value: const char*, the language UTF-8 text is written in
                                    as an ASCII BCP 47 tag ("ja", "zh-Hans"; copied); NULL or
                                    "" (default): none said; only while stopped */
};

enum LumoTextEncoding {
    LUMO_TEXT_CP932 = 932,
    LUMO_TEXT_UTF8 = 65001,
};

/* SetLumoProp (queued). Only LP_AUTO_REDRAW can be read back. */
enum LumoProperty {
    LP_AUTO_REDRAW = 9,      /* 0: calls run at once; nonzero: engine recomposes each frame */
    LP_GLYPH_FILM = 10,      /* film whose picture text mark "M" copies from */
    LP_TEXT_FONT = 11,       /* default font face, CP932 string */
    LP_TEXT_SIZE = 12,       /* default font size */
    LP_TEXT_PITCH = 13,      /* default character advance */
    LP_TEXT_LINE_PITCH = 14, /* default line advance */
    LP_TEXT_COLOR = 15,      /* default colour 0x00BBGGRR */
    LP_TEXT_DELAY = 16,      /* default per-character delay, ms */
};

/*
 * AddFilm. The low byte is a set of capability bits (LUMO_FILM_...); the
 * whole value selects how the film is composed into its parent.
 */
enum LumoFilmType {
    FT_IMAGE = 0x10070002,  /* plain picture, also a pure container */
    FT_SCREEN = 0x10070003, /* presented to a host surface; never drawn as a child */
    FT_TONED = 0x1007000A,  /* picture drawn through brightness and saturation */
    FT_ALPHA = 0x10070042,  /* picture with an 8-bit alpha map */
    FT_TEXT = 0x10070052,   /* text film: glyphs land in its alpha map */
    FT_LAYER = 0x100700C2,  /* cleared to transparent; composition writes its alpha */
};

enum LumoFilmCapability {
    LUMO_FILM_SCREEN = 0x01,
    LUMO_FILM_PICTURE = 0x02,
    LUMO_FILM_TONED = 0x08,
    LUMO_FILM_TEXT = 0x10,
    LUMO_FILM_ALPHA = 0x40,
    LUMO_FILM_KEEPS_ALPHA = 0x80,
};

/* FP_BLEND_MODE value that selects the direct composition routines. */
#define LUMO_BLEND_DIRECT 0x20000

/* [SECTION] Identifiers: film properties and methods ==================== */

/*
 * SetFilmProp (queued) and GetFilmProp (direct). Value forms at the value
 * address:
 *   - two int32_t for FP_POS, FP_SIZE, FP_SRC_POS, FP_IMAGE_SIZE,
 *     FP_MASK_POS, FP_MASK_SIZE, FP_IMAGE_MASK_SIZE, FP_SRC_MASK_POS,
 *     FP_TEXT_POS, FP_DIRTY_RECT, FP_INVERT_RECT (a null address: 0, 0);
 *   - a NUL-terminated CP932 string for FP_TEXT_APPEND and FP_TEXT_FONT,
 *     copied by the call (a null address: no string, see FP_TEXT_APPEND);
 *   - a pointer for the handle properties (see Surfaces and handles);
 *   - one int32_t for all others, followed by a flag word that only
 *     FP_PARENT, FP_SHARE_IMAGE and FP_SHARE_MASK read: pass two int32_t
 *     {value, flag}, or a null address for the detaching / own-buffer form.
 *     One int32_t is enough where the flag is not read.
 * Rectangles of FP_DIRTY_RECT and FP_INVERT_RECT are packed as
 * {x0 + y0 * 65536, x1 + y1 * 65536}.
 * Properties of a capability the film lacks are ignored when set (the film
 * is still invalidated) and fail when read.
 */
enum LumoFilmPropertyId {
    FP_PARENT = 0x10000001,        /* set, get: parent film, -1 none; flag: detach */
    FP_SCREEN_DC = 0x10000002,     /* set: LumoSurface * (screen films) */
    FP_POS = 0x10000003,           /* set, get: x, y in the parent */
    FP_X = 0x10000004,             /* set, get */
    FP_Y = 0x10000005,             /* set, get */
    FP_SIZE = 0x10000006,          /* set, get: width, height */
    FP_WIDTH = 0x10000007,         /* set, get */
    FP_HEIGHT = 0x10000008,        /* set, get */
    FP_INSERT_BEFORE = 0x1000000A, /* set: link just before a sibling */
    FP_INSERT_AFTER = 0x1000000B,  /* set: link just after a sibling */

    FP_IMAGE_DC = 0x10001001,     /* get: LumoSurface * of the colour image */
    FP_SRC_POS = 0x10001003,      /* set, get: image pixel at the film's top-left */
    FP_SRC_X = 0x10001004,        /* set, get */
    FP_SRC_Y = 0x10001005,        /* set, get */
    FP_IMAGE_SIZE = 0x10001006,   /* set, get: reallocates image (and alpha map) cleared */
    FP_IMAGE_OBJECT = 0x10001010, /* get: LumoSurface * of the colour image */
    FP_ALPHA_OBJECT = 0x10001100, /* get: LumoSurface * of the alpha map */

    FP_BLEND_MODE = 0x10002000,      /* set, get: LUMO_BLEND_DIRECT by default */
    FP_MASK_OBJECT = 0x10002001,     /* get: LumoSurface * of the mask */
    FP_MASK_POS = 0x10002003,        /* set, get */
    FP_MASK_X = 0x10002004,          /* set, get */
    FP_MASK_Y = 0x10002005,          /* set, get */
    FP_MASK_SIZE = 0x10002006,       /* set, get: reallocates the mask cleared */
    FP_IMAGE_MASK_SIZE = 0x10003000, /* set: image (no alpha map) and mask together */
    FP_SRC_MASK_POS = 0x10003001,    /* set: source and mask position together */

    FP_TEXT_APPEND = 0x10004000,     /* set: string appended; null clears text and cursor */
    FP_TEXT_LENGTH = 0x10004001,     /* get: characters in the buffer */
    FP_TEXT_SHOWN = 0x10004002,      /* set, get: characters printed; set prints at once */
    FP_TEXT_FONT = 0x10004003,       /* set: face name, CP932 */
    FP_TEXT_SIZE = 0x10004004,       /* set, get */
    FP_TEXT_PITCH = 0x10004005,      /* set, get: character advance */
    FP_TEXT_LINE_PITCH = 0x10004006, /* set, get: line advance */
    FP_TEXT_COLOR = 0x10004007,      /* set, get: 0x00BBGGRR */
    FP_TEXT_DELAY = 0x10004008,      /* set, get: ms per character */
    FP_TEXT_X = 0x10004009,          /* set, get: cursor x */
    FP_TEXT_Y = 0x1000400A,          /* set, get: cursor y */
    FP_TEXT_POS = 0x1000400B,        /* set, get: cursor x, y */

    FP_ALPHA = 0x10005000,      /* set, get: opacity 0..256 */
    FP_BRIGHTNESS = 0x10005001, /* set, get: 256 unchanged (toned films) */
    FP_SATURATION = 0x10005002, /* set, get: 256 unchanged (toned films) */
    FP_SOFTNESS = 0x10005007,   /* set: edge width of the rule wipe */
    FP_PARAM1 = 0x10005010,     /* set, get: redraw procedure parameters */
    FP_PARAM2 = 0x10005011,
    FP_PARAM3 = 0x10005012,

    FP_DIRTY_RECT = 0x10008000,  /* set: packed rectangle to redraw */
    FP_INVERT_RECT = 0x10008001, /* set: packed rectangle shown inverted (screen films) */
    FP_REDRAW_PROC = 0x10009000, /* set: const LumoRedrawFuncs * */
    FP_LIVE = 0x1000A000,        /* set: 0 freezes the film */
    FP_SHARE_IMAGE = 0x1000B000, /* set: draw another film's image; flag: own again */
    FP_SHARE_MASK = 0x1000B001,  /* set: use another film's mask; flag: own again */
    FP_CELL_X = 0x1000C001,      /* set, get: cell index across (wraps) */
    FP_CELL_Y = 0x1000C002,      /* set, get: cell index down (wraps) */
};

/* CallFilmMethod (queued). The argument is one int32_t, or a null address. */
enum LumoFilmMethod {
    FM_REDRAW = 0x11000002,         /* recompose now if the film or anything under it changed */
    FM_CLEAR = 0x11000003,          /* zero image, alpha map and mask; invalidate */
    FM_TEXT_CLEAR = 0x11000004,     /* text films: zero, empty the text, reset cursor */
    FM_STOP_ACTIONS = 0x11000005,   /* AM_STOP every action aimed at the film */
    FM_RESUME_ACTIONS = 0x11000006, /* AM_RESUME every action aimed at the film */
    FM_COPY_IMAGE_TO = 0x11000007,  /* argument: film */
    FM_COPY_ALPHA_TO = 0x11000009,  /* argument: film */
    FM_COPY_MASK_TO = 0x11000010,   /* argument: film */
    FM_TAKE_SIZE = 0x11000011,      /* argument: film whose sizes are taken */
    FM_MOVE_CHILDREN = 0x11000012,  /* argument: film receiving the children first */
    FM_FILL_ALPHA = 0x11000014,     /* argument: byte value */
    FM_INVALIDATE = 0x11000015,
    FM_FILL = 0x11000020,         /* argument: colour 0x00BBGGRR */
    FM_TRIM = 0x11000025,         /* crop the image to nonzero alpha */
    FM_RESET_BOUNDS = 0x11000026, /* opaque bounds := whole image */
    FM_CELL_X_STEP = 0x11000030,  /* argument: step */
    FM_CELL_Y_STEP = 0x11000031,  /* argument: step */
    FM_TINT = 0x11000040,         /* argument: 0xWWRRGGBB */
};

/* [SECTION] Identifiers: actions, opcodes, states ======================= */

enum LumoActionProperty {
    AP_START = 0x20000001,    /* set while stopped, get: position a start begins at */
    AP_POSITION = 0x20000002, /* set while stopped (inside the program); get gives 0 */
    AP_ENABLED = 0x20000003,  /* set, get */
    AP_TARGET = 0x20000004,   /* set, get: target film; setting it binds the action */
    AP_SPEED = 0x20000005,    /* set, get: duration scale in thousandths */
    AP_STATE = 0x20000008,    /* get: one of the AS_ values */
};

enum LumoActionState {
    AS_STOPPED = 0x20010000,
    AS_RUNNING = 0x20010001,
    AS_FINISHING = 0x20010002,
};

enum LumoActionMethod {
    AM_START = 0x21000001,  /* position := start; running */
    AM_STOP = 0x21000002,   /* stopped, enabled 0 */
    AM_FINISH = 0x21000003, /* running: run through to the next AC_LOOP or AC_END at once */
    AM_RESUME = 0x21000004, /* running from the current position */
    AM_HALT = 0x21000005,   /* stopped, enabled stays 1 */
    AM_CLEAR = 0x21000010,  /* while stopped: empty the program */
    AM_APPEND = 0x21000011, /* while stopped: append the argument word */
};

/*
 * Program words. An instruction is its opcode followed by its operands.
 *
 * Termination rule: a program that runs past its last word (also in the
 * middle of an instruction's operands) ends as if it met AC_END there:
 * state stopped, position := start, EV_ACT_END posted. An action that
 * executes more than LUMO_ACTION_STEP_LIMIT instructions in one frame without
 * a timed step that uses up the frame (an endless loop of instant steps) is
 * stopped without a notification, like an unknown opcode.
 */
enum LumoActionOpcode {
    AC_NOP = 0x20020000,
    AC_WAIT = 0x20020001, /* t: wait t ms (scaled); -1 stops, no notification */
    AC_JUMP = 0x20020002, /* n: position := n */
    AC_LOOP = 0x20020003, /* position := start, EV_ACT_LOOP; finishing: AC_END */
    AC_END = 0x20020004,  /* stopped, position := start, EV_ACT_END */
    AC_NOP2 = 0x20020005,
    AC_RETARGET = 0x20020006, /* f: queue AP_TARGET := f for this action */
    AC_MOVE_TO = 0x20021000,  /* property, value, t */
    AC_MOVE2_TO = 0x20021001, /* property, x, y, t (two-word properties) */
    AC_MOVE_BY = 0x20021006,  /* property, delta, t */
    AC_MOVE2_BY = 0x20021007, /* property, dx, dy, t */
    AC_NOP3 = 0x20022000,
    AC_CELL_X = 0x20022001, /* n: FP_SRC_X += n * FP_WIDTH */
    AC_CELL_Y = 0x20022002, /* n: FP_SRC_Y += n * FP_HEIGHT */
    AC_NOP4 = 0x20022003,
    AC_PRINT = 0x20022008,  /* print the target's text with its delays, EV_TEXT_DONE */
    AC_METHOD = 0x20022010, /* method, argument: film method on the target at once */
};

#define LUMO_ACTION_STEP_LIMIT 100000

/* [SECTION] Identifiers: redraw sets and notification codes ============= */

/*
 * GetRedrawFuncs. Each procedure works on the (screen) film it is installed
 * on and that film's first child, the new scene, which must be composed
 * before the install. Parameters come from FP_PARAM1 and FP_PARAM2 of the
 * film (RF_RULE: FP_PARAM1 and FP_SOFTNESS of the child). Only one procedure
 * of a kind can be installed at a time.
 */
enum LumoRedrawSet {
    RF_SMOOTH = 0x12000001,    /* blur by FP_PARAM1 / 16 passes over the old picture */
    RF_SMOOTH2 = 0x12000002,   /* one more blur pass each step */
    RF_FADE = 0x12000003,      /* cross-fade, FP_PARAM1 256 old .. 0 new */
    RF_FADE_FAST = 0x12000004, /* the same, computed two channels at a time */
    RF_FADE_MMX = 0x12000005,  /* the same, vectorised; no size check at start */
    RF_LEVEL = 0x12000006,     /* FP_PARAM1 0 black, 128 unchanged, 255 white */
    RF_RULE = 0x12000010,      /* rule wipe by the child's mask with softness */
};

/* Notification codes: the high half of wparam. */
enum LumoEventCode {
    EV_ACT_LOOP = 1,     /* action; lparam 0 */
    EV_ACT_END = 2,      /* action; lparam 0 */
    EV_TEXT_STOP = 3,    /* film; lparam action: printing met the stop mark "O" */
    EV_TEXT_MARK_P = 4,  /* film; lparam mark value */
    EV_TEXT_MARK_Q = 5,  /* film; lparam mark value */
    EV_TEXT_MARK_R = 6,  /* film; lparam mark value */
    EV_TEXT_DONE = 8,    /* film; lparam action: AC_PRINT printed the whole text */
    EV_TEXT_MARK_S = 9,  /* film; lparam mark value */
    EV_TEXT_MARK_T = 16, /* film; lparam mark value */
};

/* [SECTION] The text mark language ====================================== */

/*
 * A text film's buffer (FP_TEXT_APPEND) is CP932 bytes. Any byte that is not
 * a mark letter starts a two-byte character; marks are one ASCII letter and
 * fixed-length hexadecimal operands (case-insensitive):
 *   LF            new line (cursor x := 0, y += line pitch)
 *   "A"           reset text and style to the engine defaults; printing ends
 *   "Bhhhhhhhh"   wait that many ms (AC_PRINT)
 *   "Chhhh"       per-character delay       "DRRGGBB"  colour
 *   "Enn" + n bytes  font face (nn: byte count in two hex digits)
 *   "Fhhh" size   "Ghhh" pitch   "Hhhh" line pitch
 *   "I", "J", "K", "L" + sign and 3 hex digits: cursor x :=, y :=, x +=, y +=
 *   "Mxxxyyyxxxyyy"  copy that rectangle of the LP_GLYPH_FILM picture
 *   "N"           new page: clear the picture, cursor (0, 0)
 *   "O"           stop: AC_PRINT stops and posts EV_TEXT_STOP
 *   "P".."T" + 8 hex digits: post EV_TEXT_MARK_P .. EV_TEXT_MARK_T
 * Counting: FP_TEXT_LENGTH and FP_TEXT_SHOWN count the two-byte characters
 * and the "M" and "N" marks (each prints one picture step), so the shown
 * count always reaches the length. "E" is read the same way when counting
 * and when printing. "A" empties the buffer, so the length restarts at 0.
 * Only the upper-case letters above and LF are marks: any other byte, a
 * lower-case letter included, is the first byte of a two-byte character.
 * A host that rewrites a text (a shadow copy with its colours changed)
 * walks it with GetTextElement, so that it reads the buffer exactly as the
 * engine does.
 *
 * UTF-8 text (LS_TEXT_ENCODING LUMO_TEXT_UTF8, for the films made after it):
 * the marks are the same bytes; any other byte starts a UTF-8 character
 * (bytes that are not UTF-8 read as U+FFFD, one a byte), and ESC (0x1B)
 * followed by a character makes that character text even when it is a mark
 * letter or LF, so the host writes "\x1BSylvie" for "Sylvie". Face names
 * ("E", FP_TEXT_FONT, LP_TEXT_FONT) are UTF-8 too. A character is a grapheme
 * cluster (a letter with its combining marks, a flag, a joined emoji):
 * FP_TEXT_LENGTH and FP_TEXT_SHOWN count clusters, and each typing step
 * shows one. Text between marks that move the pen (LF, "A", "I" to "N") is
 * shaped with proportional advances ("G" pitch is not used), wrapped to the
 * film's image width where the Unicode line-breaking rules allow (a word
 * longer than a line is broken between clusters), and set right to left
 * where it reads so, a right-to-left paragraph against the right edge.
 * Characters the named face lacks come from another installed font. A
 * mark never joins a cluster across it, nor does the start of an append.
 */

/* [SECTION] Functions =================================================== */

/* Starts the engine and its thread. -1 if already running or on failure. */
LUMO_API int32_t InitializeLumo(void);
/* Stops the engine thread and frees every film and action. Always 0. Not
 * from the notification callback. */
LUMO_API int32_t TerminateLumo(void);
/* Direct. value points to an int32_t, or to a LumoNotifyWindow for
 * LS_NOTIFY_WINDOW. -1 for an unknown id, or a start-only one while running. */
LUMO_API int32_t SetLumoSetting(int32_t id, const void* value);
/* Queued. value: an int32_t, or a string for LP_TEXT_FONT; may be null (0). */
LUMO_API int32_t SetLumoProp(int32_t id, const void* value);
/* Direct. Only LP_AUTO_REDRAW can be read; -1 otherwise or for a null result. */
LUMO_API int32_t GetLumoProp(int32_t id, int32_t* result);
/* Direct. Posts a notification with wparam a + b and lparam l. Always 0. */
LUMO_API int32_t RaiseLumoEvent(int32_t a, int32_t b, int32_t l);

/* Queued, never runs the queue itself: marks the whole film to redraw. */
LUMO_API int32_t Blt(int32_t film);
/* Direct. Returns once no change awaits a redraw (or the engine stops). */
LUMO_API int32_t WaitBlt(void);
/* Queued, never runs the queue itself: asks for a redraw step. */
LUMO_API int32_t Redraw(void);

/* Direct. Creates a film of a LumoFilmType; returns its ID or -1. */
LUMO_API int32_t AddFilm(int32_t type);
/* Queued. Removes one film; its children stay, unlinked. */
LUMO_API int32_t RemoveFilm(int32_t film);
/* Queued. Removes the film and its whole subtree; -1 removes every film. */
LUMO_API int32_t RemoveFilmChildren(int32_t film);
/* Queued. See the value forms above FP_PARENT. */
LUMO_API int32_t SetFilmProp(int32_t film, int32_t property, const void* value);
/* Direct. Two-word properties write two int32_t, handles one pointer. -1 for
 * an unknown or write-only property, a capability the film lacks, or a
 * missing film. */
LUMO_API int32_t GetFilmProp(int32_t film, int32_t property, void* result);
/* Queued. arg: one int32_t or null (0). */
LUMO_API int32_t CallFilmMethod(int32_t film, int32_t method, const int32_t* arg);
/* Direct. A shared table for the set (each call overwrites it), or null for
 * an unknown set. */
LUMO_API const LumoRedrawFuncs* GetRedrawFuncs(int32_t set);

/* Queued. Advances every running action by ms; -1 for a negative ms. */
LUMO_API int32_t ProgressAction(int32_t ms);
/* Direct. Takes the lowest free action slot; returns its ID or -1. */
LUMO_API int32_t AddAction(void);
/* Queued. Stops the action and frees its slot. */
LUMO_API int32_t RemoveAction(int32_t action);
/* Queued. value: one int32_t or null (0). */
LUMO_API int32_t SetActProp(int32_t action, int32_t property, const int32_t* value);
/* Direct. -1 for a free or out-of-range action or an unknown property. */
LUMO_API int32_t GetActProp(int32_t action, int32_t property, int32_t* result);
/* Queued. arg: one int32_t or null. */
LUMO_API int32_t CallActMethod(int32_t action, int32_t method, const int32_t* arg);

/* Direct. Runs every queued command; -1 before InitializeLumo. */
LUMO_API int32_t ExeQueue(void);
/* Direct; needs no running engine. The element of the text mark language
 * that starts at `position` of the `length` bytes at `text`: writes its size
 * in bytes (at least 1) to *bytes and returns its mark byte (LF, or "A" to
 * "T") for a whole mark, or 0 for a two-byte character (in UTF-8 text: one
 * character, with its ESC if escaped) and for the tail of a text that ends
 * inside an element. It reads the text in the LS_TEXT_ENCODING set. -1 for
 * a null pointer or a position outside 0 .. length - 1. */
LUMO_API int32_t GetTextElement(const char* text, int32_t length, int32_t position, int32_t* bytes);
/* Direct. Copies the block at (sx, sy) of a picture of width x height taken
 * from (0, 0) of source into dest at (x, y), clipped to both. A 1-byte
 * destination receives each pixel's blue byte. Always 0. */
LUMO_API int32_t BitBltMask(LumoSurface* dest, int32_t x, int32_t y, int32_t width, int32_t height,
                            const LumoSurface* source, int32_t sx, int32_t sy);

#ifdef __cplusplus
}

/* Old entry points kept under their C++ (signature-encoding) names; they do
 * nothing and return -1. */
LUMO_API int AddActionScript(int script);
LUMO_API int ClearActionTable(int table);
LUMO_API int EndCommonActionTable();
#endif

#endif /* LUMO_H */
