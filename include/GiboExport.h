// Symbol visibility for the gibo shared library.
#ifndef GIBO_EXPORT_H
#define GIBO_EXPORT_H

#if defined(_WIN32)
#if defined(GIBO_BUILDING)
#define GIBO_API __declspec(dllexport)
#else
#define GIBO_API __declspec(dllimport)
#endif
#else
#define GIBO_API __attribute__((visibility("default")))
#endif

#if defined(__GNUC__) || defined(__clang__)
#define GIBO_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define GIBO_PRINTF(fmt, args)
#endif

#endif  // GIBO_EXPORT_H
