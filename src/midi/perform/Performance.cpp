#include "Performance.h"

#include "ListCheck.h"

#include <algorithm>
#include <cmath>

namespace fw {

namespace {

    using status::Control;
    using status::NoteOff;
    using status::NoteOn;
    using status::PitchBend;
    using status::Program;

    // The notes of one string that sound as one run: a note and the notes its links lead into.
    struct Chain {
        int slot = 0;
        std::vector<int> notes; // positions in the range
        bool ownChannel = false; // needs a channel of the string's own (pitch bend, modulation, legato)
        bool legato = false; // some note leads into the next without a new pick
    };

    // What was last sent on a string's own channel; -1 when unknown.
    struct ChannelState {
        int program = -1;
        int bend = -1;
        int modulation = -1;
    };

    // The slot's string sounds: a note value (the fret's, whatever filled the entry), or a dead note.
    bool Sounds(const ChordDef& def, int slot)
    {
        return def.Notes[slot] != NotPlayedNote || def.Marks[slot].kind == NoteKind::Dead;
    }

    bool IsSlide(NoteLink link) { return link == NoteLink::SlideUp || link == NoteLink::SlideDown; }

    class Performer {
    public:
        Performer(
            const ParsedLineList& parsed, int first, int last, const Tuning& tuning, const PerformOptions& options)
            : m_parsed(parsed)
            , m_tuning(tuning)
            , m_options(options)
        {
            first = std::max(first, 0);
            last = std::min(last, static_cast<int>(parsed.size()) - 1);
            long long at = 0;
            for (int index = first; index <= last; ++index) {
                const ChordDef& def = parsed[index];
                if (!IsNoteEntry(def))
                    continue;
                m_entries.push_back(index);
                m_starts.push_back(at);
                at += std::max(def.DurationValue, 0);
                m_result.marked = m_result.marked || def.Technique.any()
                    || std::any_of(def.Marks.begin(), def.Marks.end(), [](const NoteMarks& m) { return m.any(); });
                m_accents = m_accents || def.Technique.accent;
            }
            m_last = last;
            m_result.length = at;
        }

        Performance run()
        {
            const std::vector<Chain> chains = FindChains();
            AssignChannels(chains);
            for (int pos = 0; pos < count(); ++pos)
                Add(m_starts[pos], EventPhase::Show, 0, 0, 0, m_entries[pos]);
            for (const Chain& chain : chains)
                EmitChain(chain);
            std::stable_sort(
                m_result.events.begin(), m_result.events.end(), [](const SoundEvent& a, const SoundEvent& b) {
                    return a.time != b.time ? a.time < b.time : a.phase < b.phase;
                });
            return std::move(m_result);
        }

    private:
        int count() const { return static_cast<int>(m_entries.size()); }
        const ChordDef& Def(int pos) const { return m_parsed[m_entries[pos]]; }
        long long Length(int pos) const { return std::max(Def(pos).DurationValue, 0); }
        long long End(int pos) const { return m_starts[pos] + Length(pos); }

        // A fixed length in milliseconds in the range's units, at least one.
        long long Units(int ms) const
        {
            const long long wholeMs = std::max(m_options.wholeMs, 1);
            return std::max<long long>(1, static_cast<long long>(ms) * m_options.whole / wholeMs);
        }

        // The position of the note that the note at pos on slot leads into, or -1 (none in the range).
        int Partner(int pos, int slot) const
        {
            if (pos + 1 >= count())
                return -1;
            return LinkPartner(m_parsed, m_entries[pos], slot) == m_entries[pos + 1] ? pos + 1 : -1;
        }

        std::vector<Chain> FindChains() const
        {
            std::vector<Chain> chains;
            std::vector<bool> taken(static_cast<size_t>(count()) * 7, false);
            for (int slot = 1; slot <= LastBassSlot; ++slot) {
                for (int pos = 0; pos < count(); ++pos) {
                    if (!Sounds(Def(pos), slot) || taken[static_cast<size_t>(pos) * 7 + slot])
                        continue;
                    Chain chain;
                    chain.slot = slot;
                    for (int at = pos; at >= 0;) {
                        chain.notes.push_back(at);
                        taken[static_cast<size_t>(at) * 7 + slot] = true;
                        const NoteMarks& marks = Def(at).Marks[slot];
                        chain.ownChannel = chain.ownChannel || marks.slideIn != SlideIn::None || marks.hasBend()
                            || marks.vibrato || IsSlide(marks.link);
                        const int next = marks.link == NoteLink::None ? -1 : Partner(at, slot);
                        if (next >= 0 && marks.link != NoteLink::Tie)
                            chain.ownChannel = chain.legato = true;
                        at = next;
                    }
                    chains.push_back(std::move(chain));
                }
            }
            return chains;
        }

        // Slap and pop get a channel each, each string whose notes need pitch control one, lowest
        // string first, on the lowest channels after the base one, passing over the drum channel.
        void AssignChannels(const std::vector<Chain>& chains)
        {
            bool slap = false;
            bool pop = false;
            bool strings[7] = {};
            bool legato[7] = {};
            for (const Chain& chain : chains) {
                if (chain.ownChannel) {
                    strings[chain.slot] = true;
                    legato[chain.slot] = legato[chain.slot] || chain.legato;
                } else {
                    slap = slap || Def(chain.notes.front()).Technique.attack == Attack::Slap;
                    pop = pop || Def(chain.notes.front()).Technique.attack == Attack::Pop;
                }
            }
            int next = 0;
            auto take = [&]() {
                while (next == m_options.channel || next == sound::DrumChannel)
                    ++next;
                return next++ & 0x0F;
            };
            // Every extra channel starts from a known state: a device keeps what an earlier list left
            // on a channel (a bend, the legato switch) until told otherwise.
            auto plainChannel = [&](int program) {
                const int channel = take();
                Add(0, EventPhase::Starting, Program | channel, program, 0);
                Add(0, EventPhase::Starting, PitchBend | channel, sound::BendCentre & 0x7F, sound::BendCentre >> 7);
                Add(0, EventPhase::Starting, Control | channel, sound::Modulation, 0);
                Add(0, EventPhase::Starting, Control | channel, sound::LegatoSwitch, 0);
                return channel;
            };
            if (slap)
                m_slapChannel = plainChannel(sound::SlapProgram);
            if (pop)
                m_popChannel = plainChannel(sound::PopProgram);
            for (int slot = LastBassSlot; slot >= 1; --slot) {
                if (!strings[slot])
                    continue;
                const int channel = m_stringChannels[slot] = take();
                // Pitch-bend sensitivity (RPN 0) in semitones, then the parameter number closed again.
                static constexpr int BendRange[][2] = { { 101, 0 }, { 100, 0 }, { 6, sound::BendRangeSemitones },
                    { 38, 0 }, { 101, 127 }, { 100, 127 } };
                for (const auto& [controller, value] : BendRange)
                    Add(0, EventPhase::Starting, Control | channel, controller, value);
                Add(0, EventPhase::Starting, Control | channel, sound::LegatoSwitch, legato[slot] ? 127 : 0);
            }
        }

        int ChannelOf(const Chain& chain) const
        {
            if (chain.ownChannel)
                return m_stringChannels[chain.slot];
            switch (Def(chain.notes.front()).Technique.attack) {
            case Attack::Slap:
                return m_slapChannel;
            case Attack::Pop:
                return m_popChannel;
            default:
                return m_options.channel;
            }
        }

        int ProgramOf(Attack attack) const
        {
            return attack == Attack::Slap ? sound::SlapProgram
                : attack == Attack::Pop   ? sound::PopProgram
                                          : m_options.patch;
        }

        int Key(const ChordDef& def, int slot) const
        {
            const NoteMarks& marks = def.Marks[slot];
            if (marks.kind == NoteKind::Normal || marks.kind == NoteKind::Ghost)
                return def.Notes[slot];
            int open = def.Frets[slot] >= 0 ? def.Notes[slot] - def.Frets[slot] : m_tuning.openNote(slot);
            if (open <= 0)
                open = OpenStringNote(slot);
            if (marks.kind == NoteKind::Harmonic)
                return open + HarmonicSemitones(marks.harmonicNode);
            return def.Frets[slot] >= 0 ? def.Notes[slot] : open;
        }

        int Velocity(const ChordDef& def, int slot) const
        {
            const NoteKind kind = def.Marks[slot].kind;
            if (kind == NoteKind::Dead)
                return sound::DeadVelocity;
            if (kind == NoteKind::Ghost)
                return sound::GhostVelocity;
            int velocity = def.Technique.accent || !m_accents ? sound::FullVelocity : sound::PlainVelocityAmongAccents;
            if (def.Technique.attack == Attack::Tap)
                velocity = velocity * 4 / 5;
            if (def.Technique.palmMute)
                velocity = velocity * 3 / 4;
            return std::clamp(velocity, 1, 127);
        }

        // Where the last note of a run stops sounding.
        long long SoundingEnd(int pos, int slot) const
        {
            const ChordDef& def = Def(pos);
            const long long length = Length(pos);
            if (def.Marks[slot].kind == NoteKind::Dead)
                return m_starts[pos] + std::max<long long>(1, std::min(length, Units(sound::DeadMaxMs)));
            if (def.Technique.staccato || def.Technique.palmMute)
                return m_starts[pos] + std::max<long long>(1, length / 2);
            if (def.Technique.letRing) {
                const int next = NextNoteOnString(m_parsed, m_entries[pos], slot);
                if (next < 0 || next > m_last)
                    return std::max(End(pos), m_result.length);
                const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), next);
                return std::max(End(pos), m_starts[found - m_entries.begin()]);
            }
            return End(pos);
        }

        void Add(long long time, EventPhase phase, int status, int data1, int data2, int entry = -1)
        {
            m_result.events.push_back({ time, phase, static_cast<unsigned char>(status),
                static_cast<unsigned char>(std::clamp(data1, 0, 255)), static_cast<unsigned char>(data2), entry });
        }

        void SetBend(long long time, int channel, double semitones)
        {
            m_bend = semitones;
            const int value = PitchBendValue(semitones);
            ChannelState& state = m_states[channel];
            if (state.bend == value)
                return;
            state.bend = value;
            Add(time, EventPhase::Starting, PitchBend | channel, value & 0x7F, value >> 7);
        }

        void SetModulation(long long time, int channel, bool vibrato)
        {
            const int value = vibrato ? sound::VibratoDepth : 0;
            ChannelState& state = m_states[channel];
            if (state.modulation == value)
                return;
            state.modulation = value;
            Add(time, EventPhase::Starting, Control | channel, sound::Modulation, value);
        }

        // Bends from the present shift to another over from..to, one message a step; the last step,
        // at to, only when reachEnd (a legato note arriving there takes the pitch over instead).
        void Ramp(int channel, long long from, long long to, double target, bool reachEnd)
        {
            const double start = m_bend;
            const long long span = std::max<long long>(1, to - from);
            const long long steps = std::max<long long>(1, span / Units(sound::RampStepMs));
            for (long long step = 1; step <= steps; ++step) {
                if (step == steps && !reachEnd)
                    break;
                SetBend(from + span * step / steps, channel,
                    start + (target - start) * static_cast<double>(step) / static_cast<double>(steps));
            }
            m_bend = target;
        }

        // Slide in, bend and vibrato of the note at pos: what sounds over the note itself.
        void NoteBody(int pos, int slot, int channel)
        {
            const NoteMarks& marks = Def(pos).Marks[slot];
            const long long start = m_starts[pos];
            const long long half = Length(pos) / 2;
            if (marks.slideIn != SlideIn::None)
                Ramp(channel, start, start + std::min(half, Units(sound::SlideInMaxMs)), 0, true);
            if (marks.hasBend())
                Ramp(channel, start, start + std::min(half, Units(sound::BendMaxMs)),
                    m_bend + (marks.bendTarget - Def(pos).Frets[slot]), true);
        }

        double SlideInStart(const NoteMarks& marks) const
        {
            switch (marks.slideIn) {
            case SlideIn::FromBelow:
                return -sound::SlideInSemitones;
            case SlideIn::FromAbove:
                return sound::SlideInSemitones;
            default:
                return 0;
            }
        }

        void EmitChain(const Chain& chain)
        {
            const int slot = chain.slot;
            const int channel = ChannelOf(chain);
            const bool own = chain.ownChannel;
            const int first = chain.notes.front();
            const long long start = m_starts[first];
            int key = Key(Def(first), slot);
            if (own) {
                ChannelState& state = m_states[channel];
                const int program = ProgramOf(Def(first).Technique.attack);
                if (state.program != program) {
                    state.program = program;
                    Add(start, EventPhase::Starting, Program | channel, program, 0);
                }
                SetBend(start, channel, SlideInStart(Def(first).Marks[slot]));
                SetModulation(start, channel, Def(first).Marks[slot].vibrato);
            }
            Add(start, EventPhase::Starting, NoteOn | channel, key, Velocity(Def(first), slot));
            if (own)
                NoteBody(first, slot, channel);
            for (size_t k = 1; k < chain.notes.size(); ++k) {
                const int previous = chain.notes[k - 1];
                const int pos = chain.notes[k];
                const long long at = m_starts[pos];
                const NoteMarks& marks = Def(pos).Marks[slot];
                const NoteLink link = Def(previous).Marks[slot].link;
                if (link == NoteLink::Tie) {
                    if (own)
                        SetModulation(at, channel, marks.vibrato);
                } else {
                    const int nextKey = Key(Def(pos), slot);
                    if (IsSlide(link)) {
                        const long long length = std::min(Length(previous) / 2, Units(sound::SlideMaxMs));
                        Ramp(channel, at - length, at, m_bend + (nextKey - key), false);
                    }
                    SetBend(at, channel, SlideInStart(marks));
                    SetModulation(at, channel, marks.vibrato);
                    if (nextKey != key) {
                        const int velocity = std::max(1, Velocity(Def(pos), slot) * 4 / 5);
                        Add(at, EventPhase::Starting, NoteOn | channel, nextKey, velocity);
                        Add(at, EventPhase::Released, NoteOff | channel, key, 0);
                        key = nextKey;
                    }
                }
                if (own)
                    NoteBody(pos, slot, channel);
            }
            const int last = chain.notes.back();
            const long long end = SoundingEnd(last, slot);
            const NoteLink link = Def(last).Marks[slot].link;
            if (own && IsSlide(link)) {
                // No next note on the string: a slide out, off the note as it ends.
                const long long length = std::min((end - m_starts[last]) / 2, Units(sound::SlideMaxMs));
                const int direction = link == NoteLink::SlideUp ? 1 : -1;
                Ramp(channel, end - length, end, m_bend + direction * sound::SlideOutSemitones, true);
            }
            Add(end, EventPhase::Ending, NoteOff | channel, key, 0);
        }

        const ParsedLineList& m_parsed;
        const Tuning& m_tuning;
        const PerformOptions m_options;
        std::vector<int> m_entries;
        std::vector<long long> m_starts;
        int m_last = -1;
        bool m_accents = false;
        int m_slapChannel = 0;
        int m_popChannel = 0;
        int m_stringChannels[7] = {};
        ChannelState m_states[16];
        // The pitch shift of the run being written, in semitones.
        double m_bend = 0;
        Performance m_result;
    };

} // namespace

Performance Perform(
    const ParsedLineList& parsed, int first, int last, const Tuning& tuning, const PerformOptions& options)
{
    return Performer(parsed, first, last, tuning, options).run();
}

int PitchBendValue(double semitones)
{
    const long value = std::lround(sound::BendCentre + semitones * sound::BendCentre / sound::BendRangeSemitones);
    return static_cast<int>(std::clamp<long>(value, 0, 16383));
}

MeterBeat BeatOf(const TimeSignature& time)
{
    static const char* const Letters[] = { "W", "H", "Q", "E", "S", "T", "F" };
    auto letter = [](int unit) {
        int index = 0;
        while ((1 << index) < unit && index < 6)
            ++index;
        return QString::fromLatin1(Letters[index]);
    };
    const int unit = std::max(time.unit, 1);
    const bool compound = time.unit >= 8 && time.beats > 3 && time.beats % 3 == 0;
    if (compound)
        return { QLatin1Char('.') + letter(unit / 2), WholeTicks / unit * 3, time.beats / 3 };
    return { letter(unit), WholeTicks / unit, time.beats };
}

} // namespace fw
