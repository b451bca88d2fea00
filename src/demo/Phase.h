#pragma once

namespace velmorra {

// The demo's schedule in the order it plays, each phase named for what it shows. Title quads
// are counted 1 to 4 as DemoState::quad counts them.
enum class Phase {
    BlobFadesIn,      // the seven-particle blob comes out of black, held in place
    BlobTumbles,      // the blob starts to flow as the camera tumbles once around it
    WireframeFlicker, // the surface flickers between wireframe and smooth
    ParticlesShown,   // wireframe, with the particles drawn
    TitleSlidesIn,    // the liquid stops, title 2 slides in and one particle is drawn out
    TitleDrops,       // the liquid flows again, title 1 drops in and title 2 fades
    BlobFadesOut,
    StreamFadesIn, // the frozen stream over the scene model comes out of black
    StreamWaits,   // the stream, still frozen, in full view
    StreamFalls,   // gravity on: the stream falls as the camera turns twice and title 3 pulses
    StreamCircled, // the camera circles the falling stream four times
    StreamFadesOut,
    PourFadesIn,   // the pour into the stone cup comes out of black
    CameraRises,   // the camera rises over the cup as title 4 crosses the screen
    PourCircled,   // the camera circles the cup four times from above
    CreditsScroll, // the credits rise as the camera circles twice
    CreditsFadeOut,
    End, // not played: entering it ends the program
};

// Where the phase stands in the schedule: 0 for the first, and so on.
constexpr int phaseIndex(Phase phase) {
    return static_cast<int>(phase);
}

// The phase's name as the code spells it, for people and tools watching a run.
constexpr const char* phaseName(Phase phase) {
    constexpr const char* names[] = {
        "BlobFadesIn",   "BlobTumbles",    "WireframeFlicker", "ParticlesShown", "TitleSlidesIn",
        "TitleDrops",    "BlobFadesOut",   "StreamFadesIn",    "StreamWaits",    "StreamFalls",
        "StreamCircled", "StreamFadesOut", "PourFadesIn",      "CameraRises",    "PourCircled",
        "CreditsScroll", "CreditsFadeOut", "End"};
    return names[phaseIndex(phase)];
}

// The phase after `phase`, which must come before End.
constexpr Phase nextPhase(Phase phase) {
    return static_cast<Phase>(phaseIndex(phase) + 1);
}

} // namespace velmorra
