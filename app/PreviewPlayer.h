#pragma once
// What the preview asks of the player at the end of its chain. The program's player is
// PlayerPCM on its own thread; tests put a player of their own in its place.
#include <memory>

#include "audio/DataNodes.h"

namespace app {

class PreviewPlayer {
public:
    virtual ~PreviewPlayer() = default;

    // The node the fade filter is connected to.
    virtual audio::DataSink& sink() = 0;
    virtual bool play() = 0;
    virtual bool stop() = 0;
    virtual bool is_finished() = 0;
    // Sample frames written to the device and not yet heard.
    virtual int get_unplayed_samples() = 0;
};

// The wave-out player.
std::unique_ptr<PreviewPlayer> make_wave_out_player();

}  // namespace app
