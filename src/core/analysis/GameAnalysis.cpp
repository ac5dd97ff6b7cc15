#include "analysis/GameAnalysis.h"

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/OpponentModel.h"

namespace tessarin {

GameAnalysis::GameAnalysis(BehaviorAnalyzer& analyzer, OpponentModel* model) : analyzer_(analyzer), model_(model) {}

void GameAnalysis::storeCleared() {
    analyzer_.ResetCounters(true);
    analyzer_.ResetEvents();
    analyzer_.clearRestarts();
}

void GameAnalysis::storeReserved(std::size_t records) { analyzer_.ReserveFrames(records); }

void GameAnalysis::analyzeShow(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes) {
    analyzer_.AnalyzeCycle(record, playerTypes);
}

void GameAnalysis::feedOpponentModel(const cycle_info_t& record) {
    if (model_) model_->Feed(record, analyzer_.ownerSide());
}

bool GameAnalysis::opponentModelEnabled() const { return model_ && model_->enabled(); }

void GameAnalysis::startOpponentModel(const show_info_t& show) {
    if (model_) model_->Start(show);
}

void GameAnalysis::finishOpponentModel() {
    if (model_) model_->Finish();
}

}  // namespace tessarin
