#pragma once

#include "GuitarProScore.h"

namespace fw::guitarpro {

// The bits GP5 files and score.gpif documents both give a note's slides: 1 a shift slide, 2 a
// legato slide, 4 out downward, 8 out upward, 16 in from below, 32 in from above. score.gpif adds 64
// and 128, pick slides down and up, read here as slides out.
inline void SetSlides(Note& note, int flags)
{
    if (flags & 0x10)
        note.slideIn = SlideIn::FromBelow;
    else if (flags & 0x20)
        note.slideIn = SlideIn::FromAbove;
    if (flags & 0x02)
        note.slideOut = SlideOut::Legato;
    else if (flags & 0x01)
        note.slideOut = SlideOut::Shift;
    else if (flags & (0x04 | 0x40))
        note.slideOut = SlideOut::Down;
    else if (flags & (0x08 | 0x80))
        note.slideOut = SlideOut::Up;
}

// The same bits for a note's slides.
inline int SlideFlags(const Note& note)
{
    int flags = 0;
    flags |= note.slideOut == SlideOut::Shift ? 0x01 : 0;
    flags |= note.slideOut == SlideOut::Legato ? 0x02 : 0;
    flags |= note.slideOut == SlideOut::Down ? 0x04 : 0;
    flags |= note.slideOut == SlideOut::Up ? 0x08 : 0;
    flags |= note.slideIn == SlideIn::FromBelow ? 0x10 : 0;
    flags |= note.slideIn == SlideIn::FromAbove ? 0x20 : 0;
    return flags;
}

} // namespace fw::guitarpro
