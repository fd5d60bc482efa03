<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AElemsConds</name>
    <message>
        <source>Analyze Elems Conditions</source>
        <translation>元素解析条件</translation>
    </message>
    <message>
        <source>BG Values : </source>
        <translation>BG 値 : </translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>dmut-Ratio</source>
        <translation>dmut-比</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>NROI</source>
        <translation>NROI</translation>
    </message>
</context>
<context>
    <name>Analyzer</name>
    <message>
        <source>Error</source>
        <translation>誤差</translation>
    </message>
    <message>
        <source>R-factor</source>
        <translation>R 因子</translation>
    </message>
    <message>
        <source>Red. Chi2</source>
        <translation>換算カイ二乗</translation>
    </message>
    <message>
        <source>Subset</source>
        <translation>部分集合</translation>
    </message>
    <message>
        <source>Quality Maps</source>
        <translation>品質マップ</translation>
    </message>
    <message>
        <source>Offer the fraction error, R-factor, reduced chi-square and subset maps</source>
        <translation>分率誤差・R 因子・換算カイ二乗・部分集合のマップを選べるようにします</translation>
    </message>
    <message>
        <source>%1 = Ref%2</source>
        <translation>%1 = Ref%2</translation>
    </message>
    <message>
        <source>Subset: the sum of %1</source>
        <translation>部分集合: %1 の和</translation>
    </message>
    <message>
        <source>fraction error of Ref%1</source>
        <translation>Ref%1 の比率の誤差</translation>
    </message>
    <message>
        <source>reduced chi-square</source>
        <translation>換算カイ二乗</translation>
    </message>
    <message>
        <source>best subset</source>
        <translation>最良部分集合</translation>
    </message>
    <message>
        <source>Analyzer</source>
        <translation>アナライザ</translation>
    </message>
    <message>
        <source>LCF / MLCF Analysis</source>
        <translation>LCF / MLCF 解析</translation>
    </message>
    <message>
        <source>Analyze</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>MLCF</source>
        <translation>MLCF</translation>
    </message>
    <message>
        <source>Disp. on Time</source>
        <translation>随時表示</translation>
    </message>
    <message>
        <source>Show View</source>
        <translation>ビュー表示</translation>
    </message>
    <message>
        <source>Add Ref</source>
        <translation>参照追加</translation>
    </message>
    <message>
        <source>Reference Spectra</source>
        <translation>参照スペクトル</translation>
    </message>
    <message>
        <source>Image Type:</source>
        <translation>画像の種類:</translation>
    </message>
    <message>
        <source>Fixed Scale</source>
        <translation>固定スケール</translation>
    </message>
    <message>
        <source>DMut</source>
        <translation>DMut</translation>
    </message>
    <message>
        <source>Min.</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Max.</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比率</translation>
    </message>
    <message>
        <source>Residual Absorption Analysis</source>
        <translation>残余吸収解析</translation>
    </message>
    <message>
        <source>Res = mut(</source>
        <translation>Res = mut(</translation>
    </message>
    <message>
        <source> [eV])- dmut x</source>
        <translation> [eV])- dmut x</translation>
    </message>
    <message>
        <source>Show dmut</source>
        <translation>dmut 表示</translation>
    </message>
    <message>
        <source>Show the Rest</source>
        <translation>残余表示</translation>
    </message>
    <message>
        <source>Show Ratio</source>
        <translation>比率表示</translation>
    </message>
    <message>
        <source>Element Analysis</source>
        <translation>元素解析</translation>
    </message>
    <message>
        <source>Analyzing Spectrum</source>
        <translation>解析中のスペクトル</translation>
    </message>
    <message>
        <source>Select Ref%1</source>
        <translation>参照%1 選択</translation>
    </message>
    <message>
        <source>No reference spectrum in use: analysis not started</source>
        <translation>使用中の参照スペクトルがありません: 解析を開始しません</translation>
    </message>
    <message>
        <source>No target elements: analysis not started</source>
        <translation>対象元素がありません: 解析を開始しません</translation>
    </message>
    <message>
        <source>Ref%1 has no spectrum (%2): analysis not started</source>
        <translation>参照%1 にスペクトルがありません (%2): 解析を開始しません</translation>
    </message>
    <message>
        <source>The residual-absorption energy %1 eV lies outside the energies of the data (%2 to %3 eV): analysis not started</source>
        <translation>残差吸収のエネルギー %1 eV がデータのエネルギー範囲 (%2 〜 %3 eV) の外です: 解析を開始しません</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>dmut of Ref%1</source>
        <translation>Ref%1 の dmut</translation>
    </message>
    <message>
        <source>fraction of Ref%1</source>
        <translation>Ref%1 の割合</translation>
    </message>
    <message>
        <source>residual-absorption dmut</source>
        <translation>残余吸収の dmut</translation>
    </message>
    <message>
        <source>residual absorption</source>
        <translation>残余吸収</translation>
    </message>
    <message>
        <source>residual-absorption ratio</source>
        <translation>残余吸収の比率</translation>
    </message>
    <message>
        <source>Components</source>
        <translation>成分</translation>
    </message>
</context>
<context>
    <name>AreaRunController</name>
    <message>
        <source>%1 of %2 blocks: no fit (not a number)</source>
        <translation>%2 ブロック中 %1 ブロック: フィットなし (非数)</translation>
    </message>
    <message>
        <source>A calibration is running: area analysis not started</source>
        <translation>較正の実行中です: 領域解析を開始しません</translation>
    </message>
    <message>
        <source>No images loaded: analysis not started</source>
        <translation>画像が読み込まれていません: 解析を開始しません</translation>
    </message>
    <message>
        <source>No result map selected in the analyser</source>
        <translation>アナライザで結果マップが選択されていません</translation>
    </message>
    <message>
        <source>run stopped after %1 of %2 blocks</source>
        <translation>%2 ブロック中 %1 ブロックで解析を停止しました</translation>
    </message>
    <message>
        <source>No reference row %1</source>
        <translation>参照行 %1 はありません</translation>
    </message>
    <message>
        <source>Bad normalisation ranges: %1</source>
        <translation>規格化範囲が不正です: %1</translation>
    </message>
    <message>
        <source>Victoreen base lines</source>
        <translation>Victoreen ベースライン</translation>
    </message>
    <message>
        <source>straight base lines</source>
        <translation>直線ベースライン</translation>
    </message>
    <message>
        <source>%1 normalised with %2, the target with %3</source>
        <translation>%1 は %2、対象は %3 で規格化されています</translation>
    </message>
    <message>
        <source>%1 of %2 blocks: no E0 / empty pre-edge range</source>
        <translation>%2 ブロック中 %1 ブロック: E0 なし / プレエッジ範囲が空</translation>
    </message>
</context>
<context>
    <name>ComponentsController</name>
    <message>
        <source>clusters</source>
        <translation>クラスター</translation>
    </message>
    <message>
        <source>scores of component %1</source>
        <translation>成分 %1 のスコア</translation>
    </message>
    <message>
        <source>Components: give 1 to %1 components</source>
        <translation>成分分析：成分数は 1 から %1 で指定してください</translation>
    </message>
    <message>
        <source>An area analysis is running: components not analysed</source>
        <translation>領域解析の実行中のため、成分分析は行いません</translation>
    </message>
    <message>
        <source>No images loaded: components not analysed</source>
        <translation>画像が読み込まれていないため、成分分析は行いません</translation>
    </message>
    <message>
        <source>Components: the analysis could not start</source>
        <translation>成分分析を開始できませんでした</translation>
    </message>
    <message>
        <source>Clusters: give at least one cluster</source>
        <translation>クラスター：1 つ以上のクラスター数を指定してください</translation>
    </message>
    <message>
        <source>Clusters: give at least two, one of them the blocks left out</source>
        <translation>クラスター：除外したブロックを 1 つと数えて、2 つ以上を指定してください</translation>
    </message>
    <message>
        <source>An area analysis is running: no clusters</source>
        <translation>領域解析の実行中のため、クラスター分けは行いません</translation>
    </message>
    <message>
        <source>Clusters: analyse the components first</source>
        <translation>クラスター：先に成分分析を行ってください</translation>
    </message>
    <message>
        <source>Clusters: the area or the images changed since the components were analysed</source>
        <translation>クラスター：成分分析の後で領域または画像が変わりました</translation>
    </message>
    <message>
        <source>Clusters stopped</source>
        <translation>クラスター分けを中止しました</translation>
    </message>
    <message>
        <source>Components stopped</source>
        <translation>成分分析を中止しました</translation>
    </message>
    <message>
        <source>%1 clusters of %2 blocks</source>
        <translation>%1 個のクラスター (ブロック数 %2)</translation>
    </message>
    <message>
        <source>%1 components of %2 blocks explain %3</source>
        <translation>%2 ブロックの %1 成分の寄与率：%3</translation>
    </message>
    <message>
        <source>; %1 of %2 blocks left out (no edge)</source>
        <translation>；%2 ブロック中 %1 ブロックを除外 (吸収端なし)</translation>
    </message>
    <message>
        <source>No components analysed: %1 not written</source>
        <translation>成分分析の結果がないため、%1 は書き出しません</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>%1 に書き込めません</translation>
    </message>
    <message>
        <source>No clusters: their spectra not written</source>
        <translation>クラスターがないため、スペクトルは書き出しません</translation>
    </message>
    <message>
        <source>No cluster %1</source>
        <translation>クラスター %1 はありません</translation>
    </message>
    <message>
        <source>No reference row %1</source>
        <translation>参照行 %1 はありません</translation>
    </message>
    <message>
        <source>No cluster map</source>
        <translation>クラスターマップはありません</translation>
    </message>
    <message>
        <source>No score map of component %1</source>
        <translation>成分 %1 のスコアマップはありません</translation>
    </message>
    <message>
        <source>components_select_map: score K or cluster</source>
        <translation>components_select_map：score K または cluster を指定してください</translation>
    </message>
</context>
<context>
    <name>ComponentsWindow</name>
    <message>
        <source>Analyse</source>
        <translation>分析</translation>
    </message>
    <message>
        <source>Cluster</source>
        <translation>クラスター分け</translation>
    </message>
    <message>
        <source>Explained variance</source>
        <translation>寄与率</translation>
    </message>
    <message>
        <source>Eigenspectra</source>
        <translation>固有スペクトル</translation>
    </message>
    <message>
        <source>Cluster spectra</source>
        <translation>クラスターのスペクトル</translation>
    </message>
    <message>
        <source>To Reference Row</source>
        <translation>参照行へ</translation>
    </message>
    <message>
        <source>Components</source>
        <translation>成分</translation>
    </message>
    <message>
        <source>Clusters</source>
        <translation>クラスター</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>マップ</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>File prefix</source>
        <translation>ファイル名の頭</translation>
    </message>
    <message>
        <source>Component %1</source>
        <translation>成分 %1</translation>
    </message>
    <message>
        <source>Scores of component %1</source>
        <translation>成分 %1 のスコア</translation>
    </message>
    <message>
        <source>Cluster %1: %2 blocks</source>
        <translation>クラスター %1：%2 ブロック</translation>
    </message>
    <message>
        <source>Cluster %1</source>
        <translation>クラスター %1</translation>
    </message>
    <message>
        <source>0: left out (no edge)</source>
        <translation>0：除外 (吸収端なし)</translation>
    </message>
</context>
<context>
    <name>ElemCtrl</name>
    <message>
        <source>Target</source>
        <translation>基準</translation>
    </message>
    <message>
        <source>&lt;p&gt;Expected Absorption Edge.&lt;/p&gt;</source>
        <translation>&lt;p&gt;予想される吸収端。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Pre/Post dE</source>
        <translation>前後 dE</translation>
    </message>
    <message>
        <source>&lt;p&gt;dmut is calculated as mu(E0+dE) - mu(E0-dE).&lt;/p&gt;</source>
        <translation>&lt;p&gt;dmut は mu(E0+dE) - mu(E0-dE) として計算されます。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>dmut</source>
        <translation>dmut</translation>
    </message>
    <message>
        <source>Ratio</source>
        <translation>比</translation>
    </message>
    <message>
        <source>&lt;p&gt;Relative strength of the dmut against the dmut of selecte element as Target.&lt;/p&gt;</source>
        <translation>&lt;p&gt;基準に選んだ元素の dmut に対するこの dmut の相対強度。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>&lt;p&gt;Position of the absorption edge, where the mut is ( mu(E0+dE) + mu(E0-dE) ) / 2.&lt;/p&gt;</source>
        <translation>&lt;p&gt;吸収端の位置。mut が ( mu(E0+dE) + mu(E0-dE) ) / 2 になるところ。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>&lt;p&gt;Start position of the ROI.&lt;/p&gt;</source>
        <translation>&lt;p&gt;ROI の開始位置。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;End position of the ROI.&lt;/p&gt;</source>
        <translation>&lt;p&gt;ROI の終了位置。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Th dmut</source>
        <translation>dmut 閾値</translation>
    </message>
    <message>
        <source>&lt;p&gt;Threshold value of the dmut.&lt;/p&gt;&lt;p&gt;When the dmut is less than the Threshold, most of the values (ROI, dmut,...) is set at BG Val.&lt;/p&gt;</source>
        <translation>&lt;p&gt;dmut の閾値。&lt;/p&gt;&lt;p&gt;dmut が閾値以下のとき、ほとんどの値 (ROI, dmut,...) は BG 値になります。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>No Neg</source>
        <translation>負値なし</translation>
    </message>
    <message>
        <source>&lt;p&gt;When the ROI is negative, the BG value is used instead of the calculated one.&lt;/p&gt;</source>
        <translation>&lt;p&gt;ROI が負のとき、計算値の代わりに BG 値を使います。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;ROI Value&lt;/p&gt;</source>
        <translation>&lt;p&gt;ROI 値&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Normalized ROI value calculated as ROI / dmut.&lt;/p&gt;</source>
        <translation>&lt;p&gt;ROI / dmut として計算した規格化 ROI 値。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Std. Ratio</source>
        <translation>標準比</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>使用</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
</context>
<context>
    <name>ElemsPanel</name>
    <message>
        <source>Analyze</source>
        <translation>解析</translation>
    </message>
    <message>
        <source>Disp. on Time</source>
        <translation>随時表示</translation>
    </message>
    <message>
        <source>Target Elements</source>
        <translation>対象元素</translation>
    </message>
    <message>
        <source>Sort by A. No.</source>
        <translation>原子番号順</translation>
    </message>
    <message>
        <source>Set STD</source>
        <translation>標準に設定</translation>
    </message>
    <message>
        <source>Correlation</source>
        <translation>相関</translation>
    </message>
    <message>
        <source>Cor. Th</source>
        <translation>相関閾値</translation>
    </message>
    <message>
        <source>ReCalc Cor.</source>
        <translation>相関再計算</translation>
    </message>
    <message>
        <source>Show Map of</source>
        <translation>表示するマップ</translation>
    </message>
    <message>
        <source>dMut of The Elem.</source>
        <translation>元素の dMut</translation>
    </message>
    <message>
        <source>N. dMut of The Elem.</source>
        <translation>元素の規格化 dMut</translation>
    </message>
    <message>
        <source>Mut+</source>
        <translation>Mut+</translation>
    </message>
    <message>
        <source>Mut-</source>
        <translation>Mut-</translation>
    </message>
    <message>
        <source>dE</source>
        <translation>dE</translation>
    </message>
    <message>
        <source>ROI</source>
        <translation>ROI</translation>
    </message>
    <message>
        <source>N.ROI</source>
        <translation>規格化 ROI</translation>
    </message>
    <message>
        <source>Not elements, skipped: %1</source>
        <translation>元素ではないため無視しました: %1</translation>
    </message>
    <message>
        <source>Set STD: no edge of %1 in the analysed spectrum: standard ratios not set</source>
        <translation>Set STD: 解析したスペクトルに %1 の吸収端がありません: 標準比を設定しません</translation>
    </message>
    <message>
        <source>Target elements named more than once, one row each: %1</source>
        <translation>複数回指定された対象元素は 1 行にまとめました: %1</translation>
    </message>
</context>
<context>
    <name>LCFFitOptionsBox</name>
    <message>
        <source>Fit Options</source>
        <translation>フィット条件</translation>
    </message>
    <message>
        <source>Constraint:</source>
        <translation>制約:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Non-negative</source>
        <translation>非負</translation>
    </message>
    <message>
        <source>Sum to one</source>
        <translation>和を 1 に</translation>
    </message>
    <message>
        <source>Non-negative, sum to one</source>
        <translation>非負, 和を 1 に</translation>
    </message>
    <message>
        <source>Best subset of</source>
        <translation>最良の部分集合 (最大数)</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>Fit from E0 +</source>
        <translation>フィット範囲 E0 +</translation>
    </message>
    <message>
        <source>to E0 +</source>
        <translation>から E0 +</translation>
    </message>
    <message>
        <source>[eV]</source>
        <translation>[eV]</translation>
    </message>
    <message>
        <source>R-factor: %1, reduced chi-square: %2</source>
        <translation>R 因子: %1, 換算カイ二乗: %2</translation>
    </message>
    <message>
        <source>Constraint not known: %1 (none, nonneg, sum1 or both)</source>
        <translation>不明な制約です: %1 (none, nonneg, sum1, both のいずれか)</translation>
    </message>
    <message>
        <source>Fit range needs off or EMIN EMAX with EMIN &lt; EMAX</source>
        <translation>フィット範囲には off か EMIN EMAX (EMIN &lt; EMAX) を指定してください</translation>
    </message>
    <message>
        <source>Best subset needs a size from 0 (off) to %1</source>
        <translation>最良部分集合の大きさは 0 (オフ) から %1 で指定してください</translation>
    </message>
</context>
<context>
    <name>LCFReference</name>
    <message>
        <source>dE [eV]</source>
        <translation>dE [eV]</translation>
    </message>
    <message>
        <source>dMut</source>
        <translation>dMut</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victreen</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
</context>
<context>
    <name>NormRangesEdit</name>
    <message>
        <source>Pre-edge</source>
        <translation>プレエッジ</translation>
    </message>
    <message>
        <source>to</source>
        <translation>～</translation>
    </message>
    <message>
        <source>Post-edge</source>
        <translation>ポストエッジ</translation>
    </message>
    <message>
        <source>eV</source>
        <translation>eV</translation>
    </message>
    <message>
        <source>Normalisation ranges in eV around the edge: the pre-edge and post-edge base lines are fitted over them, and E0 is searched between them</source>
        <translation>吸収端を基準とした規格化範囲 (eV)：プレエッジとポストエッジのベースラインをこの範囲で当てはめ、E0 はその間で探索します</translation>
    </message>
</context>
<context>
    <name>XafsFileSelect</name>
    <message>
        <source>XAFS File Select</source>
        <translation>XAFS ファイル選択</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>XAFS Data File (*.dat)</source>
        <translation>XAFS データファイル (*.dat)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>すべてのファイル (* *.*)</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 を読み込めません: %2</translation>
    </message>
    <message>
        <source>No spectrum points in %1</source>
        <translation>%1 にスペクトルの点がありません</translation>
    </message>
    <message>
        <source>The energies in %1 do not rise: its points were sorted by energy</source>
        <translation>%1 のエネルギーが昇順ではありません: 点をエネルギー順に並べ替えました</translation>
    </message>
</context>
</TS>
