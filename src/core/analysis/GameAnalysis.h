#pragma once

// Feeds a game's records to the behaviour analyser and the opponent model as the log
// player stores them.

#include "record/PlaybackHost.h"

namespace tessarin {

class BehaviorAnalyzer;
class OpponentModel;

// The log player's analysis hooks: every show record goes to the behaviour analyser,
// every record to the opponent model (which takes show records only), and a game log's
// first play-on show and its end start and finish the model. Called on the producer's
// thread, under the log player's lock (see GameAnalysisHooks).
class GameAnalysis final : public GameAnalysisHooks {
public:
    // The model may be null: then nothing is modelled.
    GameAnalysis(BehaviorAnalyzer& analyzer, OpponentModel* model);

    // Emptying the store starts a new game: the analysis forgets the old one.
    void storeCleared() override;
    void storeReserved(std::size_t records) override;
    void analyzeShow(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes) override;
    void feedOpponentModel(const cycle_info_t& record) override;
    bool opponentModelEnabled() const override;
    void startOpponentModel(const show_info_t& show) override;
    void finishOpponentModel() override;

private:
    BehaviorAnalyzer& analyzer_;
    OpponentModel* model_;
};

}  // namespace tessarin
