<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>EOFSetup</name>
    <message>
        <source>Reference File</source>
        <translation>参照ファイル</translation>
    </message>
    <message>
        <source>XAFS Data File (*.dat)</source>
        <translation>XAFS データファイル (*.dat)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>EngOfFilesSetup</name>
    <message>
        <source>Frame</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <source>Energy Cal. from File Name</source>
        <translation>ファイル名からエネルギー計算</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>パターン</translation>
    </message>
    <message>
        <source>[Reg. Exp]</source>
        <translation>[正規表現]</translation>
    </message>
    <message>
        <source>No energy in any file name. Reload with</source>
        <translation>どのファイル名にもエネルギーがありません。次のパターンで再読込</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>再読込</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>係数</translation>
    </message>
    <message>
        <source>Energy Cal. from File No.</source>
        <translation>ファイル番号からエネルギー計算</translation>
    </message>
    <message>
        <source>Sel. Unit</source>
        <translation>単位選択</translation>
    </message>
    <message>
        <source>Even in</source>
        <translation>等間隔</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>エネルギー</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>角度</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Delta</source>
        <translation>刻み</translation>
    </message>
    <message>
        <source>End</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Num</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>Energy Cal. from Ref. File</source>
        <translation>参照ファイルからエネルギー計算</translation>
    </message>
    <message>
        <source>Sel.</source>
        <translation>選択</translation>
    </message>
</context>
<context>
    <name>SelectDataFiles</name>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>間引き</translation>
    </message>
    <message>
        <source>Show Latest</source>
        <translation>最新を表示</translation>
    </message>
    <message>
        <source>Data Select</source>
        <translation>データ選択</translation>
    </message>
    <message>
        <source>Cut F.</source>
        <translation>先頭除外</translation>
    </message>
    <message>
        <source>Cut L.</source>
        <translation>末尾除外</translation>
    </message>
    <message>
        <source>Data Files</source>
        <translation>データファイル</translation>
    </message>
    <message>
        <source>QNRB Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)</source>
        <translation>QNRB ファイル, IMG ファイル, Tiff ファイル (*.dat *.img *.tif *.tiff)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
</context>
<context>
    <name>TiffData</name>
    <message>
        <source>No such page</source>
        <translation>そのページはありません</translation>
    </message>
    <message>
        <source>Can not open</source>
        <translation>開けません</translation>
    </message>
    <message>
        <source>Can not open (1)</source>
        <translation>開けません (1)</translation>
    </message>
    <message>
        <source>Can not open (2)</source>
        <translation>開けません (2)</translation>
    </message>
    <message>
        <source>Can not open TIFF</source>
        <translation>TIFF として開けません</translation>
    </message>
    <message>
        <source>Empty image</source>
        <translation>空の画像</translation>
    </message>
    <message>
        <source>Error on reading</source>
        <translation>読み込みエラー</translation>
    </message>
    <message>
        <source>Error on reading (2)</source>
        <translation>読み込みエラー (2)</translation>
    </message>
    <message>
        <source>Error on reading TIFF</source>
        <translation>TIFF の読み込みエラー</translation>
    </message>
    <message>
        <source>Error on reading file (1)</source>
        <translation>ファイルの読み込みエラー (1)</translation>
    </message>
    <message>
        <source>Image too large</source>
        <translation>画像が大きすぎます</translation>
    </message>
    <message>
        <source>Not a greyscale TIFF</source>
        <translation>グレースケールの TIFF ではありません</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message>
        <source>Tiled TIFF is not supported</source>
        <translation>タイル形式の TIFF には対応していません</translation>
    </message>
    <message>
        <source>Unknown image format</source>
        <translation>未知の画像形式</translation>
    </message>
    <message>
        <source>Unsupported TIFF sample format</source>
        <translation>対応していない TIFF のサンプル形式</translation>
    </message>
</context>
<context>
    <name>StackLoader</name>
    <message>
        <source>%1 multi-page files hold %2 images, each loaded as an image of its own: %3</source>
        <translation>%1 個の複数ページファイルに %2 枚の画像があり、それぞれ 1 枚の画像として読み込みました: %3</translation>
    </message>
    <message>
        <source>Energy from the file name gives every page of a multi-page file the same energy (choose energies by file number or from a reference file): %1</source>
        <translation>ファイル名からのエネルギーでは複数ページファイルの全ページが同じエネルギーになります (ファイル番号か参照ファイルからのエネルギーを選んでください): %1</translation>
    </message>
    <message>
        <source>HDF5...</source>
        <translation>HDF5...</translation>
    </message>
    <message>
        <source>%1 of %2 files refused: %3</source>
        <translation>%2 個中 %1 個のファイルを読み込めません: %3</translation>
    </message>
    <message>
        <source>%1 samples in %2 of the images are not finite numbers: left out of the spectra</source>
        <translation>%2 枚の画像の %1 個のサンプルが有限の数ではありません: スペクトルから除きました</translation>
    </message>
    <message>
        <source>%1: %2 of %3 files, %4</source>
        <translation>%1: %3 ファイル中 %2 件目、%4</translation>
    </message>
    <message>
        <source>Images in use by an area analysis: not cleared or loaded</source>
        <translation>面解析が画像を使用中のため、消去も読み込みもしません</translation>
    </message>
    <message>
        <source>Images of different sizes: %1 is %2 x %3, the first I1 image %4 x %5</source>
        <translation>画像の大きさが違います: %1 は %2 x %3、最初の I1 画像は %4 x %5</translation>
    </message>
    <message>
        <source>Loading %1</source>
        <translation>%1 読み込み中</translation>
    </message>
    <message>
        <source>No file matches %1 in %2</source>
        <translation>%2 に %1 に合うファイルがありません</translation>
    </message>
    <message>
        <source>Pattern %1 found no energy in %2 of the file names, which get their index as energy: %3</source>
        <translation>パターン %1 で %2 個のファイル名からエネルギーが見つからず、番号をエネルギーとしました: %3</translation>
    </message>
    <message>
        <source>Patterns that find an energy in every name: %1 (Setup offers a reload)</source>
        <translation>すべてのファイル名からエネルギーが見つかるパターン: %1 (設定画面から再読込できます)</translation>
    </message>
</context>
<context>
    <name>H5DatasetDialog</name>
    <message>
        <source>(none)</source>
        <translation>(なし)</translation>
    </message>
    <message>
        <source>HDF5 Datasets: %1</source>
        <translation>HDF5 データセット: %1</translation>
    </message>
    <message>
        <source>Dataset</source>
        <translation>データセット</translation>
    </message>
    <message>
        <source>Shape</source>
        <translation>形状</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>型</translation>
    </message>
    <message>
        <source>Sample (I1)</source>
        <translation>試料 (I1)</translation>
    </message>
    <message>
        <source>I0 / Flat</source>
        <translation>I0 / フラット</translation>
    </message>
    <message>
        <source>Energy</source>
        <translation>エネルギー</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>ダーク</translation>
    </message>
</context>
<context>
    <name>H5Loader</name>
    <message>
        <source>Images in use by an area analysis: not cleared or loaded</source>
        <translation>画像は領域解析で使用中です: 消去も読み込みもしません</translation>
    </message>
    <message>
        <source>HDF5 file</source>
        <translation>HDF5 ファイル</translation>
    </message>
    <message>
        <source>HDF5 files (*.h5 *.hdf5 *.nxs *.hdf)</source>
        <translation>HDF5 ファイル (*.h5 *.hdf5 *.nxs *.hdf)</translation>
    </message>
    <message>
        <source>Loading %1</source>
        <translation>%1 を読み込み中</translation>
    </message>
    <message>
        <source>%1: %2 of %3 frames</source>
        <translation>%1: %3 フレーム中 %2 件目</translation>
    </message>
</context>
<context>
    <name>H5Source</name>
    <message>
        <source>%1: no such file</source>
        <translation>%1: ファイルがありません</translation>
    </message>
    <message>
        <source>%1: not an HDF5 file or damaged%2</source>
        <translation>%1: HDF5 ファイルではないか、壊れています%2</translation>
    </message>
    <message>
        <source>%1: the list of datasets is damaged%2</source>
        <translation>%1: データセットの一覧が壊れています%2</translation>
    </message>
    <message>
        <source>%1: neither /exchange/data nor /img_xanes: name the datasets (load_h5_datasets, or the HDF5 dialog)</source>
        <translation>%1: /exchange/data も /img_xanes もありません: データセットを指定してください (load_h5_datasets または HDF5 ダイアログ)</translation>
    </message>
    <message>
        <source>%1: no energies beside %2 (%3)</source>
        <translation>%1: %2 に対応するエネルギーがありません (%3)</translation>
    </message>
    <message>
        <source>%1: no dataset %2%3</source>
        <translation>%1: データセット %2 がありません%3</translation>
    </message>
    <message>
        <source>%1: %2 is damaged%3</source>
        <translation>%1: %2 が壊れています%3</translation>
    </message>
    <message>
        <source>%1: %2 holds %3, not numbers</source>
        <translation>%1: %2 は数値ではなく %3 です</translation>
    </message>
    <message>
        <source>%1: %2 holds %3; images must be uint8/16/32, int16/32 or float32/64</source>
        <translation>%1: %2 は %3 です; 画像は uint8/16/32、int16/32、float32/64 のいずれかでなければなりません</translation>
    </message>
    <message>
        <source>%1: %2 has %3 dimensions, not %4</source>
        <translation>%1: %2 の次元は %3 で、%4 ではありません</translation>
    </message>
    <message>
        <source>%1: %2 is empty</source>
        <translation>%1: %2 は空です</translation>
    </message>
    <message>
        <source>%1: the frames of %2 (%3 x %4) are larger than an image can be</source>
        <translation>%1: %2 のフレーム (%3 x %4) は画像として大きすぎます</translation>
    </message>
    <message>
        <source>%1: %2 is compressed with filter %3 (id %4), which is not installed</source>
        <translation>%1: %2 はフィルタ %3 (id %4) で圧縮されていますが、このフィルタはインストールされていません</translation>
    </message>
    <message>
        <source>%1: no sample dataset named</source>
        <translation>%1: 試料のデータセットが指定されていません</translation>
    </message>
    <message>
        <source>%1: %2 holds too many frames</source>
        <translation>%1: %2 のフレームが多すぎます</translation>
    </message>
    <message>
        <source>%1: the frames of %2 are %3 x %4, those of %5 %6 x %7</source>
        <translation>%1: %2 のフレームは %3 x %4、%5 のフレームは %6 x %7 です</translation>
    </message>
    <message>
        <source>%1: %2 would take %3 MiB as images, more than the %4 MiB of this machine</source>
        <translation>%1: %2 は画像として %3 MiB を要し、このマシンの %4 MiB を超えます</translation>
    </message>
    <message>
        <source>%1: %2 holds %3 energies for the %4 frames of %5</source>
        <translation>%1: %5 の %4 フレームに対し、%2 のエネルギーは %3 個です</translation>
    </message>
    <message>
        <source>%1: %2 can not be read%3</source>
        <translation>%1: %2 を読めません%3</translation>
    </message>
    <message>
        <source>%1: %2 holds an energy of %3</source>
        <translation>%1: %2 のエネルギー %3 は使えません</translation>
    </message>
    <message>
        <source>%1: %2 is in units &quot;%3&quot;, not keV or eV</source>
        <translation>%1: %2 の単位は &quot;%3&quot; で、keV でも eV でもありません</translation>
    </message>
    <message>
        <source>%1: frame %2 of %3 can not be read%4</source>
        <translation>%1: %3 のフレーム %2 を読めません%4</translation>
    </message>
    <message>
        <source>%1: loading stopped</source>
        <translation>%1: 読み込みを中止しました</translation>
    </message>
    <message>
        <source>%1: %2 does not fit in memory</source>
        <translation>%1: %2 はメモリに収まりません</translation>
    </message>
    <message>
        <source>%1: nothing to read</source>
        <translation>%1: 読むものがありません</translation>
    </message>
</context>
</TS>
