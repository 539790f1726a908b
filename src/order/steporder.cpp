#include "steporder.h"

#include <QHash>
#include <algorithm>

namespace {

enum class Mark : char { Waiting, InChain, Placed };

} // namespace

std::vector<RenameStep> orderSteps(std::vector<RenameStep> steps,
                                   const std::function<QByteArray()>& temporaryName) {
    QHash<QByteArray, qsizetype> bySource;
    bySource.reserve(qsizetype(steps.size()));
    for (qsizetype i = 0; i < qsizetype(steps.size()); ++i)
        bySource.insert(steps[i].source, i);
    std::vector<RenameStep> ordered;
    ordered.reserve(steps.size());
    std::vector<Mark> marks(steps.size(), Mark::Waiting);
    std::vector<qsizetype> chain; // each waits on the next
    for (qsizetype first = 0; first < qsizetype(steps.size()); ++first) {
        qsizetype i = first;
        for (; i >= 0 && marks[i] == Mark::Waiting; i = bySource.value(steps[i].target, -1)) {
            marks[i] = Mark::InChain;
            chain.push_back(i);
        }
        if (i >= 0 && marks[i] == Mark::InChain) {
            // The chain closes on step i: moving its file aside first frees the name the
            // chain's last step waits on.
            const QByteArray aside = temporaryName();
            ordered.push_back({steps[i].name, steps[i].source, aside});
            steps[i].source = aside;
        }
        std::reverse(chain.begin(), chain.end());
        for (const qsizetype k : chain) {
            marks[k] = Mark::Placed;
            ordered.push_back(std::move(steps[k]));
        }
        chain.clear();
    }
    return ordered;
}
