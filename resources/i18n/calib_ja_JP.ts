<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CalibCtrl</name>
    <message>
        <source>Calibration</source>
        <translation>キャリブレーション</translation>
    </message>
    <message>
        <source>Crystal</source>
        <translation>分光結晶</translation>
    </message>
    <message>
        <source>Edge E [eV]</source>
        <translation>吸収端 E [eV]</translation>
    </message>
    <message>
        <source>Target :</source>
        <translation>対象 :</translation>
    </message>
    <message>
        <source>Simple</source>
        <translation>単純</translation>
    </message>
    <message>
        <source>Victreen</source>
        <translation>Victreen</translation>
    </message>
    <message>
        <source>Std. :</source>
        <translation>標準 :</translation>
    </message>
    <message>
        <source>Delta Energy [eV]</source>
        <translation>エネルギー差 [eV]</translation>
    </message>
    <message>
        <source>Avr.</source>
        <translation>平均</translation>
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
        <source>sigma</source>
        <translation>σ</translation>
    </message>
    <message>
        <source>Exec Calib.</source>
        <translation>較正実行</translation>
    </message>
    <message>
        <source>Clear Map</source>
        <translation>マップ消去</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>読込</translation>
    </message>
    <message>
        <source>Select Std.</source>
        <translation>標準選択</translation>
    </message>
    <message>
        <source>Energy Distribution Map File (*.emp)</source>
        <translation>エネルギー分布マップファイル (*.emp)</translation>
    </message>
    <message>
        <source>Any Files (* *.*)</source>
        <translation>全てのファイル (* *.*)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Ranges :</source>
        <translation>範囲 :</translation>
    </message>
    <message>
        <source>Preset :</source>
        <translation>プリセット :</translation>
    </message>
    <message>
        <source>K edge</source>
        <translation>K 吸収端</translation>
    </message>
    <message>
        <source>L edge</source>
        <translation>L 吸収端</translation>
    </message>
</context>
<context>
    <name>CalibrationController</name>
    <message>
        <source>A calibration is writing the energy-shift map</source>
        <translation>較正がエネルギーシフトマップに書き込み中です</translation>
    </message>
    <message>
        <source>An area analysis is running: calibration not started</source>
        <translation>領域解析の実行中です: 較正を開始しません</translation>
    </message>
    <message>
        <source>No standard spectrum: calibration not started</source>
        <translation>標準スペクトルがありません: 較正を開始しません</translation>
    </message>
    <message>
        <source>No standard spectrum: %1 not saved</source>
        <translation>標準スペクトルがありません: %1 は保存されません</translation>
    </message>
    <message>
        <source>No such crystal: %1</source>
        <translation>そのような分光結晶はありません: %1</translation>
    </message>
    <message>
        <source>Bad normalisation ranges: %1</source>
        <translation>規格化範囲が不正です: %1</translation>
    </message>
    <message>
        <source>No such preset: %1 (k or l)</source>
        <translation>そのようなプリセットはありません: %1 (k または l)</translation>
    </message>
</context>
<context>
    <name>EnergyShiftMap</name>
    <message>
        <source>Edge energy beyond the crystal&apos;s reach: %1 not saved</source>
        <translation>吸収端エネルギーが分光結晶の範囲外です: %1 は保存されません</translation>
    </message>
    <message>
        <source>Can not open %1</source>
        <translation>%1 を開けません</translation>
    </message>
    <message>
        <source>Can not write %1</source>
        <translation>%1 に書き込めません</translation>
    </message>
    <message>
        <source>Invalid Energy Map Data File : %1</source>
        <translation>不正なエネルギーマップファイル : %1</translation>
    </message>
    <message>
        <source>Energy map sizes out of range: %1</source>
        <translation>エネルギーマップの大きさが範囲外です: %1</translation>
    </message>
    <message>
        <source>Energy map size does not match the images: %1</source>
        <translation>エネルギーマップの大きさが画像と合いません: %1</translation>
    </message>
    <message>
        <source>Edge energy beyond the crystal&apos;s reach: %1 not loaded</source>
        <translation>吸収端エネルギーが分光結晶の範囲外です: %1 は読み込まれません</translation>
    </message>
    <message>
        <source>Energy map value that is not a finite number at line %2: %1</source>
        <translation>エネルギーマップの %2 行目に有限の数でない値があります: %1</translation>
    </message>
</context>
<context>
    <name>ImgProc</name>
    <message>
        <source>Image Processor</source>
        <translation>画像処理</translation>
    </message>
    <message>
        <source>Edge Detect</source>
        <translation>エッジ検出</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二値化</translation>
    </message>
    <message>
        <source>Set Ref.</source>
        <translation>参照に設定</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>Th.</source>
        <translation>閾値</translation>
    </message>
    <message>
        <source>dX</source>
        <translation>dX</translation>
    </message>
    <message>
        <source>dY</source>
        <translation>dY</translation>
    </message>
    <message>
        <source>Comp.</source>
        <translation>比較</translation>
    </message>
    <message>
        <source>S.P.</source>
        <translation>S.P.</translation>
    </message>
    <message>
        <source>A. Set Shift</source>
        <translation>自動シフト設定</translation>
    </message>
    <message>
        <source>A. A. Shift</source>
        <translation>常時自動シフト</translation>
    </message>
    <message>
        <source>Auto Shift</source>
        <translation>自動シフト</translation>
    </message>
    <message>
        <source>Set Shift</source>
        <translation>シフト設定</translation>
    </message>
    <message>
        <source>Clear All Shifts</source>
        <translation>全シフト消去</translation>
    </message>
</context>
<context>
    <name>AlignmentController</name>
    <message>
        <source>align_stack: the reference is an image index or &quot;last&quot;</source>
        <translation>align_stack: 参照は画像番号か &quot;last&quot; です</translation>
    </message>
    <message>
        <source>align_stack: the upsampling factor is a whole number from 1</source>
        <translation>align_stack: アップサンプリング倍率は 1 以上の整数です</translation>
    </message>
    <message>
        <source>align_i0: same, own or none</source>
        <translation>align_i0: same、own、none のいずれかです</translation>
    </message>
    <message>
        <source>align_apply_subpixel: bilinear or fourier</source>
        <translation>align_apply_subpixel: bilinear か fourier です</translation>
    </message>
    <message>
        <source>load_shift_table: the stack is i1 or i0</source>
        <translation>load_shift_table: スタックは i1 か i0 です</translation>
    </message>
    <message>
        <source>Stack not aligned: %1</source>
        <translation>スタックを位置合わせしません: %1</translation>
    </message>
    <message>
        <source>Stack alignment stopped</source>
        <translation>スタックの位置合わせを中止しました</translation>
    </message>
    <message>
        <source>Image %1 not registered: %2</source>
        <translation>画像 %1 は位置合わせされません: %2</translation>
    </message>
    <message>
        <source>Stack aligned: %1 of %2 images registered</source>
        <translation>スタックを位置合わせしました: %2 枚中 %1 枚</translation>
    </message>
    <message>
        <source>I0 holds %1 images and I1 %2: the I1 shifts are not applied to I0</source>
        <translation>I0 は %1 枚、I1 は %2 枚です: I1 のシフトを I0 に適用しません</translation>
    </message>
    <message>
        <source>The shift table names image %1, which the stack does not hold</source>
        <translation>シフト表の画像 %1 はスタックにありません</translation>
    </message>
    <message>
        <source>The images are in use: sub-pixel shifts not applied</source>
        <translation>画像は使用中です: サブピクセルシフトを適用しません</translation>
    </message>
    <message>
        <source>No sub-pixel shifts to apply</source>
        <translation>適用するサブピクセルシフトがありません</translation>
    </message>
    <message>
        <source>Sub-pixel shifts applied to %1 images</source>
        <translation>%1 枚の画像にサブピクセルシフトを適用しました</translation>
    </message>
    <message>
        <source>No shift table to save</source>
        <translation>保存するシフト表がありません</translation>
    </message>
    <message>
        <source>Shift table saved: %1</source>
        <translation>シフト表を保存しました: %1</translation>
    </message>
    <message>
        <source>A stack alignment is running: shift table not loaded</source>
        <translation>スタックの位置合わせ中です: シフト表を読み込みません</translation>
    </message>
    <message>
        <source>Shift table loaded: %1</source>
        <translation>シフト表を読み込みました: %1</translation>
    </message>
</context>
<context>
    <name>PhaseCorrelator</name>
    <message>
        <source>The image holds no finite sample.</source>
        <translation>画像に有限な値がありません。</translation>
    </message>
    <message>
        <source>The image is constant: it has no peak to register.</source>
        <translation>画像が一様です: 位置合わせのピークがありません。</translation>
    </message>
    <message>
        <source>The image has no peak to register.</source>
        <translation>画像に位置合わせのピークがありません。</translation>
    </message>
    <message>
        <source>The correlation has no usable peak.</source>
        <translation>相関に使えるピークがありません。</translation>
    </message>
    <message>
        <source>The images differ in size.</source>
        <translation>画像の大きさが異なります。</translation>
    </message>
</context>
<context>
    <name>ShiftPlot</name>
    <message>
        <source>%1 to %2 eV</source>
        <translation>%1 ～ %2 eV</translation>
    </message>
</context>
<context>
    <name>ShiftTable</name>
    <message>
        <source>Line %1 is no row of a shift table.</source>
        <translation>%1 行目はシフト表の行ではありません。</translation>
    </message>
    <message>
        <source>The file holds no shift.</source>
        <translation>ファイルにシフトがありません。</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 に書き込めません: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 を読み込めません: %2</translation>
    </message>
</context>
<context>
    <name>StackAlignPanel</name>
    <message>
        <source>Chained</source>
        <translation>連鎖</translation>
    </message>
    <message>
        <source>Gradient</source>
        <translation>勾配</translation>
    </message>
    <message>
        <source>Align Stack</source>
        <translation>スタック位置合わせ</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Highest energy</source>
        <translation>最高エネルギー</translation>
    </message>
    <message>
        <source>Same shifts</source>
        <translation>同じシフト</translation>
    </message>
    <message>
        <source>Own registration</source>
        <translation>独自に位置合わせ</translation>
    </message>
    <message>
        <source>Not aligned</source>
        <translation>位置合わせしない</translation>
    </message>
    <message>
        <source>x y width height (empty: whole image)</source>
        <translation>x y 幅 高さ (空欄: 画像全体)</translation>
    </message>
    <message>
        <source>Bilinear</source>
        <translation>双線形</translation>
    </message>
    <message>
        <source>Fourier</source>
        <translation>フーリエ</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>画像</translation>
    </message>
    <message>
        <source>Energy (eV)</source>
        <translation>エネルギー (eV)</translation>
    </message>
    <message>
        <source>dx</source>
        <translation>dx</translation>
    </message>
    <message>
        <source>dy</source>
        <translation>dy</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>品質</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参照</translation>
    </message>
    <message>
        <source>Upsampling</source>
        <translation>アップサンプリング</translation>
    </message>
    <message>
        <source>I0</source>
        <translation>I0</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>領域</translation>
    </message>
    <message>
        <source>Apply Sub-pixel Shifts</source>
        <translation>サブピクセルシフト適用</translation>
    </message>
    <message>
        <source>Save Table</source>
        <translation>表の保存</translation>
    </message>
    <message>
        <source>Load Table</source>
        <translation>表の読込</translation>
    </message>
    <message>
        <source>Stack Alignment</source>
        <translation>スタック位置合わせ</translation>
    </message>
    <message>
        <source>Save Shift Table</source>
        <translation>シフト表の保存</translation>
    </message>
    <message>
        <source>Load Shift Table</source>
        <translation>シフト表の読込</translation>
    </message>
    <message>
        <source>The samples of the images are resampled in place. This cannot be undone except by loading the images again. Apply the sub-pixel shifts?</source>
        <translation>画像の値をその場で再標本化します。画像を読み込み直す以外に元に戻せません。サブピクセルシフトを適用しますか?</translation>
    </message>
</context>
<context>
    <name>StackRegistration</name>
    <message>
        <source>A registration is running already.</source>
        <translation>位置合わせは既に実行中です。</translation>
    </message>
    <message>
        <source>There is no image to register.</source>
        <translation>位置合わせする画像がありません。</translation>
    </message>
    <message>
        <source>The reference image is not in the stack.</source>
        <translation>参照画像がスタックにありません。</translation>
    </message>
    <message>
        <source>The images differ in size.</source>
        <translation>画像の大きさが異なります。</translation>
    </message>
    <message>
        <source>An image holds no samples.</source>
        <translation>値を持たない画像があります。</translation>
    </message>
    <message>
        <source>The area is too small to register.</source>
        <translation>領域が小さすぎて位置合わせできません。</translation>
    </message>
    <message>
        <source>The chain is broken at image %1.</source>
        <translation>連鎖が画像 %1 で途切れています。</translation>
    </message>
</context>
</TS>
