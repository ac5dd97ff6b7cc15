#include "record/StoreBudget.h"

namespace tessarin {

std::string budgetWarning(const StoreBudget& budget, bool decisions) {
    if (decisions) {
        return "the decision files hold more than " + std::to_string(budget.decisionEntries) +
               " entries in all; they were not read further";
    }
    return "the game exceeds the budget of " + std::to_string(budget.records) + " records or " +
           std::to_string(budget.bytes >> 20) + " MiB; reading stopped there";
}

}  // namespace tessarin
