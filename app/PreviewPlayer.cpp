#include "app/PreviewPlayer.h"

#include "audio/PlayerPCM.h"

namespace app {

namespace {

class WaveOutPlayer : public PreviewPlayer {
public:
    audio::DataSink& sink() override { return player_; }
    bool play() override { return player_.play(); }
    bool stop() override { return player_.stop(); }
    bool is_finished() override { return player_.is_finished(); }
    int get_unplayed_samples() override { return player_.get_unplayed_samples(); }

private:
    audio::PlayerPCM player_;
};

}  // namespace

std::unique_ptr<PreviewPlayer> make_wave_out_player() { return std::make_unique<WaveOutPlayer>(); }

}  // namespace app
