/*
 * wavo.h: the sound engine's one public header.
 *
 * wavo plays sound objects: small integer IDs, each one a piece of sound data
 * (a file or a memory block the host fills) with a state, a volume, a pan, a
 * play count, delays and a fade time. A host loads libwavo.so, starts the
 * engine with InitializeWavo(), creates sound objects with AddSO(), sets and
 * reads their properties with SetSOProp() / GetSOProp() and drives them with
 * CallSOMethod(). The engine runs one worker thread that executes the methods,
 * timed jobs (delayed starts, repeats, fades, delayed releases) and the
 * streaming of sound into the output device.
 *
 * Index
 *   [SECTION] Exports and basic types
 *   [SECTION] Handles and the event callback
 *   [SECTION] Identifiers: engine properties
 *   [SECTION] Identifiers: events
 *   [SECTION] Identifiers: result codes
 *   [SECTION] Identifiers: sound-object types, properties, methods, states
 *   [SECTION] Identifiers: job types
 *   [SECTION] Functions: engine
 *   [SECTION] Functions: sound objects
 *   [SECTION] Functions: movies and display size
 *
 * Identifiers are 32-bit values whose top byte names their family:
 * 0x41/0x42 engine properties, 0x43 events, 0x45 result codes, 0x46
 * sound-object properties, 0x47 methods, 0x48 states, 0x49 type words.
 *
 * Results: functions return WAVO_OK (0) or a result code of the 0x45 family;
 * GetErrorDescription() gives its text. While the engine is not started every
 * function returns 0 and does nothing, unless it says otherwise; AddSO() then
 * returns 0, which a host may take as an ID (its later calls do nothing).
 * After a failed start (no sound output on this machine) the movie and
 * display functions work all the same: movies play without their sound.
 *
 * Threads: any host thread may call any function, except that TerminateWavo()
 * must not race the others. Methods run on the engine's worker thread; the
 * calling thread waits for them. Properties are read and written in the
 * calling thread under the sound-object list's lock.
 *
 * Text: strings (file names, the log path, error texts) are zero-terminated
 * bytes in code page 932 (Shift-JIS); ASCII passes unchanged. The engine
 * copies what it is given and keeps no pointer into the host's memory.
 */
#ifndef WAVO_H
#define WAVO_H

#include <stdint.h>

/* [SECTION] Exports and basic types =================================== */

#if defined(WAVO_BUILD)
#define WAVO_API __attribute__((visibility("default")))
#else
#define WAVO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* [SECTION] Handles and the event callback ============================= */

/*
 * Handles. Values the engine calls "window handles" or "addresses" do not fit
 * a 32-bit value word on a 64-bit system, so the properties that carry one are
 * read and written through their value pointer at their full width, never
 * truncated:
 *   - WP_EVENT_WINDOW: a WavoEventWindow (below);
 *   - WP_VIDEO_WINDOW: a uintptr_t holding a `const WavoVideoWindow *`
 *     (below, with the movie functions), or 0 for none;
 *   - SP_MEMORY_ADDRESS: a `void *`, the sound object's memory block;
 *   - SP_FILE_NAME (get): a `const char *`, the stored file name.
 * Every other property is an int32_t, or a uint8_t where its comment says
 * "byte".
 *
 * The event "window" is a callback with a context pointer. Set it with
 * SetWavoProp(WP_EVENT_WINDOW, &window); a null `proc` sets none. The engine
 * calls `proc` synchronously from its worker thread, with `message` the event
 * message number (WP_EVENT_MESSAGE, default 512), `wparam` = sound-object ID
 * OR the event code (WE_FIRST_START, WE_REPEAT, WE_FINISHED) and `lparam` as
 * the event code says. The worker holds its job and sound-object locks during
 * the call (they are re-entrant for it): the callback must return promptly.
 * It may read and set properties and remove sound objects; CallSOMethod()
 * from the callback queues the method and returns at once (the method runs
 * in the worker's next round; a sync play does not wait). InitializeWavo()
 * and TerminateWavo() do nothing there.
 */
typedef void (*WavoEventProc)(void* context, uint32_t message, int32_t wparam, int32_t lparam);

typedef struct WavoEventWindow {
    WavoEventProc proc;
    void* context;
} WavoEventWindow;

/* EnumSO: called with each sound-object ID in creation order; 0 stops. */
typedef int32_t (*WavoEnumProc)(int32_t id);

/* [SECTION] Identifiers: engine properties ============================ */

/*
 * SetWavoProp / GetWavoProp. WP_LAST_ERROR, WP_PLATFORM_VERSION, the two
 * extended errors, WP_EVENT_WINDOW, WP_EVENT_MESSAGE, WP_VIDEO_WINDOW and
 * WP_DISPLAY_WINDOW are
 * answered also while the engine is not started (after a failed start, the
 * errors tell why); the others need a started engine. Read-only ones give
 * WAVO_E_UNAVAILABLE on set; an unknown id gives WAVO_E_NO_PROPERTY.
 */
enum WavoProperty {
    WP_LAST_ERROR = 0x41000001,           /* read-only: code of the failed start or last movie */
    WP_HOST_VALUE = 0x41000002,           /* stored and returned only, initially -1 */
    WP_PLATFORM_VERSION = 0x41000003,     /* read-only: 0x801 output found, 0 none */
    WP_SO_COUNT = 0x41000004,             /* number of sound objects; set returns it too */
    WP_EXT_ERROR1 = 0x41000005,           /* read-only: failing step of a platform service */
    WP_EXT_ERROR2 = 0x41000006,           /* read-only: platform result of that step */
    WP_EVENT_WINDOW = 0x41000008,         /* WavoEventWindow */
    WP_EVENT_MESSAGE = 0x41000010,        /* message number of events, default 512 */
    WP_DEFAULT_VOLUME = 0x41000080,       /* volume of a new sound object, 255 */
    WP_DEFAULT_AUTO_RELEASE = 0x41000100, /* byte: auto-release of a new object, 0 */
    WP_DEFAULT_PLAY_COUNT = 0x41000200,   /* play count of a new object, 1 (-1 forever) */
    WP_DEFAULT_SYNC = 0x41000400,         /* byte: sync flag of a new object, 0 */
    WP_DEFAULT_FADE_TIME = 0x41000800,    /* fade time of a new object in ms, 1000 */
    /* Mixer line levels (int32, 255) and mutes (byte, 0): stored, never applied. */
    WP_MIXER_MUTE3 = 0x41001020,
    WP_MIXER_MUTE2 = 0x41002020,
    WP_MIXER_MUTE4 = 0x41004020,
    WP_MIXER_LEVEL3 = 0x41010040,
    WP_MIXER_LEVEL2 = 0x41020040,
    WP_MIXER_LEVEL4 = 0x41040040,
    WP_VIDEO_WINDOW = 0x42000000,   /* uintptr_t: the WavoVideoWindow of movies */
    WP_DISPLAY_WINDOW = 0x42000001, /* uint32_t: SDL window ID that ChangeDisplaySize switches */
};

/* [SECTION] Identifiers: events ======================================= */

/* The high half of an event's wparam; the low half is the sound-object ID. */
enum WavoEvent {
    WE_FIRST_START = 0x43010000, /* play began; lparam 0 */
    WE_FINISHED = 0x43020000,    /* the last play ended; lparam 0 */
    WE_REPEAT = 0x43040000,      /* play began again; lparam: repeats so far, from 1 */
};

/* [SECTION] Identifiers: result codes ================================= */

enum WavoResult {
    WAVO_OK = 0,
    WAVO_E_UNDEFINED = 0x45000000,          /* undefined error */
    WAVO_E_AUDIO = 0x45000100,              /* sound output failed */
    WAVO_E_UNAVAILABLE = 0x45000201,        /* read-only on set, no value on get */
    WAVO_E_METHOD_NOT_ALLOWED = 0x45000202, /* method not permitted */
    WAVO_E_NOT_SUPPORTED = 0x45000203,      /* operation not supported */
    WAVO_E_INVALID_VALUE = 0x45000204,      /* invalid property value */
    WAVO_E_NOT_GETTABLE = 0x45000205,       /* property cannot be read */
    WAVO_E_NOT_SETTABLE = 0x45000206,       /* property cannot be set */
    WAVO_E_NO_PROPERTY = 0x45000401,        /* no such property */
    WAVO_E_NO_METHOD = 0x45000402,          /* no such method */
    WAVO_E_NO_SO = 0x45000403,              /* no such sound object */
    WAVO_E_NO_FILE = 0x45000404,            /* file does not exist */
    WAVO_E_NO_JOB = 0x45000405,             /* no such job */
    WAVO_E_BAD_STATE = 0x45000800,          /* the state does not allow the change */
    WAVO_E_NOT_LOADED = 0x45000801,         /* data not loaded */
    WAVO_E_NOT_PLAYING = 0x45000802,        /* not playing */
    WAVO_E_MCI = 0x45001000,                /* media device failed */
    WAVO_E_NO_RUNTIME = 0x45004001,         /* no sound output at all */
    WAVO_E_MCI_START = 0x45004002,          /* media device start failed */
    WAVO_E_MIXER_START = 0x45004003,        /* mixer start failed */
    WAVO_E_NO_MIXER = 0x45004004,           /* no mixer device */
    WAVO_E_OUTPUT_START = 0x45004005,       /* sound output could not be opened */
    WAVO_E_MUSIC_START = 0x45004006,        /* music performance start failed */
    WAVO_E_OLD_RUNTIME = 0x45004007,        /* platform too old */
    WAVO_E_DISPLAY_MODE = 0x45004008,       /* display mode change failed */
    WAVO_E_TOO_MANY_SO = 0x45008001,        /* no more sound objects */
    WAVO_E_BAD_KIND = 0x45008002,           /* undefined sound kind */
    WAVO_E_BAD_GROUP = 0x45008003,          /* undefined group */
    WAVO_E_LOAD_FAILED = 0x45010001,        /* the data could not be decoded */
    WAVO_E_NO_FILE_NAME = 0x45020001,       /* no file name given */
    WAVO_E_NO_MEMORY_BLOCK = 0x45020002,    /* no memory block given */
    WAVO_E_NO_VIDEO_WINDOW = 0x45020003,    /* no video window */
    WAVO_E_NEGATIVE_SIZE = 0x45040001,      /* negative memory block size */
    WAVO_E_MOVIE = 0x45400000,              /* movie platform failure */
    WAVO_E_UNFINISHED = 0x45FFFFFF,         /* feature not built */
};

/* [SECTION] Identifiers: sound-object types, properties, methods, states */

/*
 * Type word (AddSO): 0x49, then the class (bits 16-23), the data kind (bits
 * 8-15) and the source (bits 0-1: 1 file, 2 memory block). Sound output
 * objects load WAVE from memory, Ogg Vorbis from a file or from memory, and
 * "any sound" from a file or from memory: Ogg Vorbis (decoded as the Vorbis
 * types do), Ogg Opus, FLAC, MP3 or WAVE, told apart by the data itself.
 * LOOPSTART and LOOPLENGTH tags (counts of frames) of any of them name the
 * section that repeats.
 */
enum WavoTypeWord {
    ST_CLASS_MCI = 0x00030000,      /* media device class (music sequences) */
    ST_CLASS_DMUSIC = 0x00040000,   /* music segment class */
    ST_CLASS_DSOUND = 0x00080000,   /* streaming sound class */
    ST_KIND_SEQUENCE = 0x00000100,  /* music sequence (MIDI) */
    ST_KIND_WAVE = 0x00000400,      /* RIFF WAVE */
    ST_KIND_VORBIS = 0x00001000,    /* Ogg Vorbis */
    ST_KIND_SOUND = 0x00002000,     /* any sound: Vorbis, Opus, FLAC, MP3, WAVE */
    ST_SOURCE_FILE = 0x00000001,    /* the data is the file named by SP_FILE_NAME */
    ST_SOURCE_MEMORY = 0x00000002,  /* the data is the memory block */
    ST_WAVE_MEMORY = 0x49080402,    /* streaming WAVE from the memory block */
    ST_VORBIS_FILE = 0x49081001,    /* streaming Ogg Vorbis from a file */
    ST_VORBIS_MEMORY = 0x49081002,  /* streaming Ogg Vorbis from the memory block */
    ST_SOUND_FILE = 0x49082001,     /* streaming any sound from a file */
    ST_SOUND_MEMORY = 0x49082002,   /* streaming any sound from the memory block */
    ST_MUSIC_SEQUENCE = 0x49040101, /* music segment from a MIDI file */
    ST_MCI_SEQUENCE = 0x49030101,   /* media device playing a MIDI file */
};

/*
 * SetSOProp / GetSOProp. Both return 0 without effect for the ID -1 and
 * WAVO_E_NO_SO for an ID that does not exist.
 */
enum WavoSOProperty {
    SP_ID = 0x46000001,             /* read-only */
    SP_TYPE = 0x46000002,           /* read-only: the type word */
    SP_VOLUME = 0x46000004,         /* 0 (silent) .. 255 (full) */
    SP_MEMORY_ADDRESS = 0x46000008, /* read-only, void *: the memory block */
    SP_MEMORY_SIZE = 0x46000010,    /* bytes; set: new block (unloaded or loaded only) */
    SP_AUTO_RELEASE = 0x46000020,   /* byte: destroy the object when its play ends */
    SP_PLAY_COUNT = 0x46000040,     /* plays, -1 until stopped; below -1 is invalid */
    SP_START_DELAY = 0x46000080,    /* ms before the first start */
    SP_RELEASE_DELAY = 0x46000100,  /* ms after the end before it is handled */
    SP_RESERVED1 = 0x46000200,      /* 0, no effect */
    SP_FILE_NAME = 0x46000400,      /* set: char * of an existing file; get: const char * */
    SP_POSITION = 0x46000800,       /* ms: where play is, or starts when not sounding */
    SP_STATE = 0x46001000,          /* read-only: SS_UNLOADED, SS_LOADED, SS_PLAYING */
    SP_LENGTH = 0x46002000,         /* read-only: ms (WAVO_E_NOT_LOADED without data) */
    SP_PAN = 0x46004000,            /* -255 (left) .. 255 (right), streaming/music only */
    SP_RESERVED2 = 0x46008000,      /* 0, no effect */
    SP_RESERVED3 = 0x46010000,      /* 0, no effect */
    SP_RESERVED4 = 0x46020000,      /* 0, no effect */
    SP_RESERVED5 = 0x46040000,      /* 0, no effect */
    SP_SYNC = 0x46080000,           /* byte: play returns only when play has ended */
    SP_HOST_VALUE = 0x46100000,     /* stored and returned only */
    SP_FADE_TIME = 0x46200000,      /* ms of a full fade (255 volume steps) */
};

/* CallSOMethod. Only SM_FADE_OUT reads its parameter: nonzero stops the
 * object when the fade has reached silence. */
enum WavoSOMethod {
    SM_LOAD = 0x47000100,
    SM_PLAY = 0x47000200,
    SM_STOP = 0x47000400,
    SM_UNLOAD = 0x47000800,
    SM_FADE_IN = 0x47001001,
    SM_FADE_OUT = 0x47001002,
};

/* SP_STATE. "Playing" holds from play until stop or the end of the last play,
 * including a start delay; it does not mean that sound is coming out. A play
 * whose sound cannot start (the output takes none) goes back to "loaded". */
enum WavoSOState {
    SS_UNLOADED = 0x48000001,
    SS_LOADED = 0x48000002,
    SS_PLAYING = 0x48000004,
};

/* [SECTION] Identifiers: job types ==================================== */

/* AddNewJob. Jobs of a sound object that no longer exists are dropped. */
enum WavoJobType {
    JT_DELAYED_START = 1, /* start the play monitor */
    JT_NOTHING = 2,
    JT_PLAY_MONITOR = 3, /* param: plays left; counts repeats, ends the play */
    JT_RELEASE = 4,      /* remove the sound object */
    JT_BACK_TO_LOADED = 5,
    JT_CLASS_STEP_A = 6,
    JT_CLASS_STEP_B = 7,
    JT_FADE_IN_STEP = 8,  /* param: fade time in ms */
    JT_FADE_OUT_STEP = 9, /* param: fade time in ms */
    JT_CANCEL = 10,       /* drop this object's earlier jobs */
};

/* [SECTION] Functions: engine ========================================= */

/* Starts the sound output and the worker thread. WAVO_OK, or the code of the
 * failed step (WAVO_E_NO_RUNTIME: no sound output on this machine, the host
 * goes on silent); the code stays readable as WP_LAST_ERROR. */
WAVO_API int32_t InitializeWavo(void);
/* Stops the worker, destroys every sound object, closes the sound output.
 * Always 0. After a failed start it stops a playing movie only. */
WAVO_API int32_t TerminateWavo(void);
/* No effect; always 0. */
WAVO_API int32_t SetEventProc(int32_t a, int32_t b, int32_t c, int32_t d);
/* value points to the property's value (see Handles for the wide ones). */
WAVO_API int32_t SetWavoProp(int32_t property, const void* value);
/* result receives the property's value. */
WAVO_API int32_t GetWavoProp(int32_t property, void* result);
/* No effect; always 0. */
WAVO_API int32_t CallWavoMethod(int32_t a, int32_t b);
/* Queues a job: due after delay ms, with its parameter. Always 0. */
WAVO_API int32_t AddNewJob(int32_t type, int32_t id, int32_t delay, int32_t param);
/* Copies the code's text (CP932) into buffer: min(size, length + 1) bytes, so
 * a buffer not larger than the text gets no terminator. Always 0; works also
 * while the engine is not started. */
WAVO_API int32_t GetErrorDescription(int32_t code, char* buffer, int32_t size);
/* Appends the engine's trace to the named file (a description of the machine
 * first). A null or empty path stops the trace. Always 0; any time. */
WAVO_API int32_t SetDebugLog(const char* path);
/* Development entry point: class step B of sound object 0. Always 0. */
WAVO_API int32_t Test(int32_t unused);

/* [SECTION] Functions: sound objects ================================== */

/* Creates a sound object of a type word; its ID, or -1 when bits 16-23 name
 * no class. The object copies the engine's defaults (WP_DEFAULT_...). */
WAVO_API int32_t AddSO(int32_t type);
/* Destroys the object; always 1. Its pending jobs and methods are dropped. */
WAVO_API int32_t RemoveSO(int32_t id);
/* Destroys every sound object. Always 0. */
WAVO_API int32_t ClearSO(void);
/* Calls proc with each ID in creation order until it returns 0. Always 1.
 * proc runs in the calling thread, outside the engine's locks. */
WAVO_API int32_t EnumSO(WavoEnumProc proc);
/* See the property table; value points to the new value. */
WAVO_API int32_t SetSOProp(int32_t id, int32_t property, const void* value);
/* See the property table; result receives the value. */
WAVO_API int32_t GetSOProp(int32_t id, int32_t property, void* result);
/* Runs a method on the worker thread and returns when it has run (a play with
 * SP_SYNC set returns when the play has ended). WAVO_OK, WAVO_E_NO_SO or
 * WAVO_E_NO_METHOD: the method's own outcome shows in SP_STATE. param may be
 * null except for SM_FADE_OUT. */
WAVO_API int32_t CallSOMethod(int32_t id, int32_t method, const int32_t* param);

/* [SECTION] Functions: movies and display size ======================== */

/*
 * The video window: where a movie's pictures go and how its end is told.
 * The host owns a 24-bit surface (blue, green, red bytes, rows top-down,
 * `stride` bytes apart) of `width` x `height` pixels and describes it here.
 *
 * Frames arrive on the movie's own decode thread: it calls `lock`, which
 * returns the pixels and holds the host's lock on them, scales the frame
 * over the whole surface, calls `unlock`, then `presented` with the changed
 * rectangle (right and bottom exclusive). The host shows only what was
 * presented, on its own thread; `presented` must return at once. Frames are
 * shown by the movie's sound clock: one that is late is dropped, not shown.
 *
 * When the movie has ended, the engine's worker thread (or the host's own
 * dshowIsPlaying call) calls `post_click` exactly once. It stands for a left
 * button press on the window: the host posts it to its event queue and
 * returns, never handling it there. The host's own mouse and keyboard input
 * keep reaching it while a movie plays: the movie takes none of it.
 *
 * The movie's sound plays through the engine's own output device at
 * WP_DEFAULT_VOLUME as it was when the movie started.
 *
 * dshowPlay and dshowChangeWindow copy the structure; the host keeps the
 * context and the surface alive until dshowStop, TerminateWavo, or a
 * dshowChangeWindow to another window has returned.
 */
typedef struct WavoVideoWindow {
    void* context;
    int32_t width;
    int32_t height;
    int32_t stride;
    uint8_t* (*lock)(void* context);
    void (*unlock)(void* context);
    void (*presented)(void* context, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void (*post_click)(void* context);
} WavoVideoWindow;

/* Plays a movie file (any container and codec the system's FFmpeg decodes)
 * into WP_VIDEO_WINDOW: WAVO_OK, WAVO_E_NO_VIDEO_WINDOW or WAVO_E_MOVIE (the
 * file is missing or cannot be decoded: WP_EXT_ERROR1 1, WP_EXT_ERROR2 the
 * decoder's result; a window without pixels: WP_EXT_ERROR1 2; FFmpeg's
 * libraries not installed: WP_EXT_ERROR1 3, and one line on standard error
 * when the first movie asked for them). The result is
 * also stored as WP_LAST_ERROR. */
WAVO_API int32_t dshowPlay(const char* path);
/* Stops and drops the movie. Always 0. */
WAVO_API int32_t dshowStop(void);
/* Moves a playing movie to the current WP_VIDEO_WINDOW (after the host set
 * it): WAVO_OK, WAVO_E_NO_VIDEO_WINDOW, WAVO_E_NOT_PLAYING or WAVO_E_MOVIE
 * (a window without pixels: WP_EXT_ERROR1 1). */
WAVO_API int32_t dshowChangeWindow(void);
/* -1 while a movie plays, else 0. Notices the end of the movie and then
 * posts its completion click (see WavoVideoWindow). */
WAVO_API int32_t dshowIsPlaying(void);
/* Switches the display to width x height x bits by putting the host's window
 * (WP_DISPLAY_WINDOW, an SDL window of the same process) full screen in
 * exactly that mode: 0, or WAVO_E_DISPLAY_MODE with WP_EXT_ERROR1 1 (no
 * video or no such window) or 3 (the display does not offer the mode, or
 * refused it; WP_EXT_ERROR2 SDL's result). bits 0 takes any depth; 24 and
 * 32 both mean true colour. A refused change leaves the window as it was,
 * an earlier change included. */
WAVO_API int32_t ChangeDisplaySize(int32_t reserved, int32_t width, int32_t height, int32_t bits);
/* Puts the window back as it was before ChangeDisplaySize (its full-screen
 * state and mode). Always 0; nothing without a change. */
WAVO_API int32_t ResumeDisplaySize(void);

#ifdef __cplusplus
}
#endif

#endif /* WAVO_H */
