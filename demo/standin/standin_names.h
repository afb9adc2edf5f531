/* The names by which the stand-in game and the tests that drive it find each other: the
   launcher owns the game's command line, so tests signal the game through these. */
#ifndef PELMAR_STANDIN_NAMES_H
#define PELMAR_STANDIN_NAMES_H

/* Set by a test: the stand-in ends. */
inline constexpr char StandInQuitEventName[] = "PelmarStandInQuit";
/* Set by the stand-in once its record is written. */
inline constexpr char StandInStartedEventName[] = "PelmarStandInStarted";
/* The class of the stand-in's window. */
inline constexpr char StandInWindowClass[] = "PelmarStandInGame";

#endif
