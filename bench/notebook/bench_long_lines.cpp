// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a record whose body is one line without breaks, and pasting such a body into the entry
// box, against the floor: the same number of characters in lines of 80. The record view and the
// entry box have the window's size.
//
//   ShowOneLine/N       the record view shows N characters in one line (the program's path),
//                       to the first screen painted
//   ShowShortLines/N    the floor: N characters with a line break every 80, likewise
//   LayOutOneLine/N,    the same, run on until the view has laid out the whole text
//   LayOutShortLines/N
//   PasteOneLine/N      N characters in one line pasted into the empty entry box
//   PasteShortLines/N   the floor: the same in lines of 80
//   ShowOneLineBefore/N the one line shown as before long lines were split, laid out whole (only
//                       small N: its time grows with the square of N)
#include "widgets/LongLines.h"
#include "widgets/LongTextEdits.h"

#include <QApplication>
#include <QClipboard>
#include <benchmark/benchmark.h>

namespace {

const QSize ViewSize(441, 273);

QString oneLine(qsizetype size)
{
    return QString(size, QLatin1Char('x'));
}

QString shortLines(qsizetype size)
{
    QString text = oneLine(size);
    for (qsizetype at = 80; at < size; at += 81)
        text[at] = QLatin1Char('\n');
    return text;
}

// The first screen painted: what the user sees. The view lays out the rest a step at a time
// while the window goes on taking input.
template <typename View>
void paintFirstScreen(View &view)
{
    view.viewport()->repaint();
}

// Every step of that layout run to the end.
template <typename View>
void layOutAll(View &view)
{
    QApplication::processEvents();
    view.viewport()->repaint();
}

// The record view shows `body` as the notebook shows a record.
template <typename Settle>
void showRecord(benchmark::State &state, const QString &body, Settle settle)
{
    RecordView view;
    view.resize(ViewSize);
    view.show();
    for (auto _ : state) {
        view.setPlainText(QString());
        LongLines::setText(view.document(), body);
        settle(view);
    }
    state.SetBytesProcessed(state.iterations() * body.size() * 2);
}

void ShowOneLine(benchmark::State &state)
{
    showRecord(state, oneLine(state.range(0)), paintFirstScreen<RecordView>);
}

void ShowShortLines(benchmark::State &state)
{
    showRecord(state, shortLines(state.range(0)), paintFirstScreen<RecordView>);
}

void LayOutOneLine(benchmark::State &state)
{
    showRecord(state, oneLine(state.range(0)), layOutAll<RecordView>);
}

void LayOutShortLines(benchmark::State &state)
{
    showRecord(state, shortLines(state.range(0)), layOutAll<RecordView>);
}

void ShowOneLineBefore(benchmark::State &state)
{
    const QString body = oneLine(state.range(0));
    QTextEdit view;
    view.resize(ViewSize);
    view.show();
    for (auto _ : state) {
        view.setPlainText(QString());
        view.setPlainText(body);
        layOutAll(view);
    }
}

void paste(benchmark::State &state, const QString &text)
{
    QApplication::clipboard()->setText(text);
    BodyInput input;
    input.resize(ViewSize);
    input.show();
    for (auto _ : state) {
        input.setPlainText(QString());
        input.paste();
        layOutAll(input);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}

void PasteOneLine(benchmark::State &state)
{
    paste(state, oneLine(state.range(0)));
}

void PasteShortLines(benchmark::State &state)
{
    paste(state, shortLines(state.range(0)));
}

// N characters: 1 M and 10 M (2 and 20 MB as Qt holds them).
constexpr int64_t M = 1 << 20;
BENCHMARK(ShowOneLine)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(ShowShortLines)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(LayOutOneLine)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(LayOutShortLines)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(PasteOneLine)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(PasteShortLines)->Arg(M)->Arg(10 * M)->Unit(benchmark::kMillisecond);
BENCHMARK(ShowOneLineBefore)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
