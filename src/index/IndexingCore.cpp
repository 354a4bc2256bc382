#include "index/IndexingCore.h"

namespace vellumar {

namespace {

NotifierOptions notifierOptions(const IndexingCoreSettings& settings) {
    NotifierOptions options;
    options.startThread = settings.startNotifierThread;
    return options;
}

std::shared_ptr<ParserSetShared> makeParserState(const IndexingCoreSettings& settings) {
    auto state = std::make_shared<ParserSetShared>();
    state->programFolder = settings.home;
    state->pdfTextFile = settings.programTempFolder / "pdftotxt.tmp";
    return state;
}

}  // namespace

IndexingCore::IndexingCore(UserInterface& ui, MainThreadDispatcher& dispatcher,
                           ProgressThrottle& throttle, IndexingCoreSettings settingsIn)
    : ui(ui),
      settings(std::move(settingsIn)),
      homeLock(settings.home, settings.writerRole),
      notifier(NotifierServices{ui, throttle, dispatcher, changes, &priority},
               notifierOptions(settings)),
      parserState(makeParserState(settings)),
      indexingParsers(settings.firstLanguageTable, parserState),
      viewerParsers(settings.firstLanguageTable, parserState),
      indexer(IndexingServices{indexingParsers, ui, throttle, cancel, settings.programTempFolder,
                               arcread::ToolSettings{settings.home, std::chrono::seconds(60)}}),
      catalogue(notifier, ui,
                CatalogueSettings{settings.indexFolder, settings.runFromCd, settings.mountPoint}),
      builder(BuilderServices{catalogue, notifier, indexer, indexingParsers, ui, cancel,
                              settings.home, &homeLock}),
      folderUpdater(FolderUpdaterServices{catalogue, notifier, indexer, indexingParsers, cancel,
                                          settings.home}),
      folderChanges(notifier, catalogue, folderUpdater, &homeLock) {
    // An index of an older engine format is offered a full update when it is opened.
    catalogue.setUpdateOffer([this](int position) {
        IndexRequest request = builder.RequestFor(position);
        builder.Build(BuildKind::Update, position, request);
    });
}

IndexingCore::~IndexingCore() {
    notifier.SetOnScanFolder({});
    notifier.SetOnFolderChanged({});
    notifier.Clear();
    notifier.Terminate();
}

void IndexingCore::attachScanFolder() {
    notifier.SetOnScanFolder(
        [this](int position, const std::string& folder, const std::string& patterns, int& result) {
            result = indexer.IndexFolderFiles(position, folder, patterns);
        });
}

void IndexingCore::detachScanFolder() { notifier.SetOnScanFolder({}); }

}  // namespace vellumar
