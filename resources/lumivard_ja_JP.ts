<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ACrystal</name>
    <message>
        <source>A Crystal</source>
        <translation>結晶</translation>
    </message>
    <message>
        <source>Angle [deg]</source>
        <translation>角度[deg]</translation>
    </message>
    <message>
        <source>Beam W.</source>
        <translation>ビーム幅</translation>
    </message>
    <message>
        <source>Energy[eV]</source>
        <translation>エネルギー[eV]</translation>
    </message>
    <message>
        <source>In Beam C.</source>
        <translation>入射高</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長さ</translation>
    </message>
    <message>
        <source>Pos. X</source>
        <translation>位置(X)</translation>
    </message>
    <message>
        <source>Pos. Y</source>
        <translation>位置(Y)</translation>
    </message>
</context>
<context>
    <name>BandsWindow</name>
    <message>
        <source>%1 % of %2 to %3 eV covered by %4 bands; %5</source>
        <translation>%2 〜 %3 eV の %1 % を %4 本のバンドが被覆。%5</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4, allowed</source>
        <translation>%1 %2 %3 %4 : 許容反射</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4, allowed: |F_H| = %5 at %6 eV</source>
        <translation>%1 %2 %3 %4 : 許容反射、%6 eV で |F_H| = %5</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4, forbidden: the structure factor is zero, no crystal of this cut reflects</source>
        <translation>%1 %2 %3 %4 : 禁制反射。構造因子が 0 で、この面で切り出した結晶は反射しません</translation>
    </message>
    <message>
        <source>%1; %2; %3 of %4 pairs cross behind the crystals, %5 parallel pairs counted at the origin</source>
        <translation>%1。%2。%4 組中 %3 組が結晶の後方で交差、平行な %5 組は原点として平均</translation>
    </message>
    <message>
        <source>0 0 0 is no reflection</source>
        <translation>0 0 0 は反射ではありません</translation>
    </message>
    <message>
        <source>Band high
[eV]</source>
        <translation>バンド上端
[eV]</translation>
    </message>
    <message>
        <source>Band low
[eV]</source>
        <translation>バンド下端
[eV]</translation>
    </message>
    <message>
        <source>Bands</source>
        <translation>バンド</translation>
    </message>
    <message>
        <source>Coverage:</source>
        <translation>被覆 : </translation>
    </message>
    <message>
        <source>Energy
[eV]</source>
        <translation>エネルギー
[eV]</translation>
    </message>
    <message>
        <source>FWHM π
[µrad]</source>
        <translation>半値幅 π
[µrad]</translation>
    </message>
    <message>
        <source>FWHM σ
[µrad]</source>
        <translation>半値幅 σ
[µrad]</translation>
    </message>
    <message>
        <source>FWHM σ %1 µrad, π %2 µrad at %3 eV; refraction shift %4 eV</source>
        <translation>%3 eV で半値幅 σ %1 µrad、π %2 µrad、屈折シフト %4 eV</translation>
    </message>
    <message>
        <source>Focus:</source>
        <translation>集光 : </translation>
    </message>
    <message>
        <source>Gap above
[eV]</source>
        <translation>上との隙間
[eV]</translation>
    </message>
    <message>
        <source>Lattice constant:</source>
        <translation>格子定数 : </translation>
    </message>
    <message>
        <source>Lattice offset
[eV]</source>
        <translation>格子定数ずれ
[eV]</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>番号</translation>
    </message>
    <message>
        <source>Reflection:</source>
        <translation>反射 : </translation>
    </message>
    <message>
        <source>Refraction
[eV]</source>
        <translation>屈折シフト
[eV]</translation>
    </message>
    <message>
        <source>Scale Reset</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>The gap (positive) or overlap (negative) to the next band up in energy</source>
        <translation>エネルギーが一つ上のバンドとの隙間 (正) または重なり (負)</translation>
    </message>
    <message>
        <source>Width at start energy:</source>
        <translation>起点エネルギーでの幅 : </translation>
    </message>
    <message>
        <source>averaged (%1, %2)</source>
        <translation>平均 (%1, %2)</translation>
    </message>
    <message>
        <source>averaged: none</source>
        <translation>平均 : なし</translation>
    </message>
    <message>
        <source>crystal %1: %2 to %3 eV</source>
        <translation>結晶 %1 : %2 〜 %3 eV</translation>
    </message>
    <message>
        <source>design %1 Å, accepted %2 Å at %3 °C</source>
        <translation>設計値 %1 Å、標準値 %2 Å (%3 °C)</translation>
    </message>
    <message>
        <source>design %1 Å, accepted %2 Å at %6 °C: a real crystal reflects %3 eV off its label at %4 eV, %5 eV with refraction</source>
        <translation>設計値 %1 Å、標準値 %2 Å (%6 °C) : %4 eV で実際の結晶は表示より %3 eV ずれて反射 (屈折込みで %5 eV)</translation>
    </message>
    <message>
        <source>design %1 Å; no accepted value for &quot;%2&quot;</source>
        <translation>設計値 %1 Å。「%2」の標準値なし</translation>
    </message>
    <message>
        <source>forbidden</source>
        <translation>禁制反射</translation>
    </message>
    <message>
        <source>largest gap %1 eV</source>
        <translation>最大の隙間 %1 eV</translation>
    </message>
    <message>
        <source>least squares (%1, %2), RMS %3</source>
        <translation>最小二乗 (%1, %2)、RMS %3</translation>
    </message>
    <message>
        <source>least squares: none (the lines do not meet)</source>
        <translation>最小二乗 : なし (直線が交わらない)</translation>
    </message>
    <message>
        <source>no X-ray data for &quot;%1&quot;: %2</source>
        <translation>「%1」の X 線データがありません : %2</translation>
    </message>
    <message>
        <source>no band at %1 eV</source>
        <translation>%1 eV ではバンドなし</translation>
    </message>
    <message>
        <source>no bands</source>
        <translation>バンドなし</translation>
    </message>
    <message>
        <source>no data</source>
        <translation>データなし</translation>
    </message>
    <message>
        <source>no gaps</source>
        <translation>隙間なし</translation>
    </message>
    <message>
        <source>no reflection</source>
        <translation>反射なし</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>the Miller indices are not whole numbers up to 99: no reflection</source>
        <translation>面指数が 99 以下の整数ではありません : 反射なし</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>      Current::</source>
        <translation>カーソル位置 : </translation>
    </message>
    <message>
        <source>Avr. Cross Points::</source>
        <translation>集光点 : </translation>
    </message>
    <message>
        <source>Avr. Img Point::</source>
        <translation>結像点 : </translation>
    </message>
    <message>
        <source>Bands</source>
        <translation>バンド</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>コメント : </translation>
    </message>
    <message>
        <source>Crystals</source>
        <translation>結晶周辺</translation>
    </message>
    <message>
        <source>Focus Point</source>
        <translation>焦点周辺</translation>
    </message>
    <message>
        <source>Imaging Point</source>
        <translation>結像面周辺</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>ロード</translation>
    </message>
    <message>
        <source>Meas. Length::</source>
        <translation>計測距離 : </translation>
    </message>
    <message>
        <source>Rest CPs</source>
        <translation>焦点軌跡リセット</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>セーブ</translation>
    </message>
    <message>
        <source>Scale Reset</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>Show Graph</source>
        <translation>グラフ表示</translation>
    </message>
    <message>
        <source>Square Grid</source>
        <translation>グリッド正方化</translation>
    </message>
    <message>
        <source>View</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Any File (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV 表 (*.csv)</translation>
    </message>
    <message>
        <source>Export Crystal Table</source>
        <translation>結晶テーブルのエクスポート</translation>
    </message>
    <message>
        <source>Export Plot</source>
        <translation>グラフのエクスポート</translation>
    </message>
    <message>
        <source>Nothing was exported: "%1" cannot be written.</source>
        <translation>エクスポートされませんでした: "%1" に書き込めません。</translation>
    </message>
    <message>
        <source>Nothing was printed: the printer cannot be used.</source>
        <translation>印刷されませんでした: プリンターを使えません。</translation>
    </message>
    <message>
        <source>Overall</source>
        <translation>全体</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>PDF 文書 (*.pdf)</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG 画像 (*.png)</translation>
    </message>
    <message>
        <source>PNG image at twice the size (*.png)</source>
        <translation>PNG 画像、2倍の大きさ (*.png)</translation>
    </message>
    <message>
        <source>Plot window:</source>
        <translation>グラフ : </translation>
    </message>
    <message>
        <source>Print Plot</source>
        <translation>グラフの印刷</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG 図形 (*.svg)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存...</translation>
    </message>
    <message>
        <source>Export Crystal &amp;Table...</source>
        <translation>結晶テーブルのエクスポート...</translation>
    </message>
    <message>
        <source>&amp;Export Plot...</source>
        <translation>グラフのエクスポート...</translation>
    </message>
    <message>
        <source>&amp;Print Plot...</source>
        <translation>グラフの印刷...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <source>Setup &amp;Types</source>
        <translation>配置タイプの説明</translation>
    </message>
    <message>
        <source>&amp;About Lumivard</source>
        <translation>Lumivard について</translation>
    </message>
    <message>
        <source>About Lumivard</source>
        <translation>Lumivard について</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Lumivard %1&lt;/h3&gt;&lt;p&gt;Design of flat analyser crystal arrays that split a broadband X-ray beam into energy bands.&lt;/p&gt;&lt;p&gt;Licence: MIT&lt;br&gt;Qt %2&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Lumivard %1&lt;/h3&gt;&lt;p&gt;広帯域のX線ビームをエネルギー帯に分ける平板分光結晶アレイの設計ツール&lt;/p&gt;&lt;p&gt;ライセンス: MIT&lt;br&gt;Qt %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The design has changed since it was last saved.</source>
        <translation>前回の保存のあと、設計が変更されています。</translation>
    </message>
    <message>
        <source>Save the changes?</source>
        <translation>変更を保存しますか?</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>破棄</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Nothing was saved: &quot;%1&quot; cannot be written.</source>
        <translation>セーブされませんでした: &quot;%1&quot; に書き込めません。</translation>
    </message>
    <message>
        <source>Nothing was loaded: &quot;%1&quot; cannot be read.</source>
        <translation>ロードされませんでした: &quot;%1&quot; を読めません。</translation>
    </message>
    <message>
        <source>Nothing was loaded: &quot;%1&quot; holds no design.</source>
        <translation>読み込みませんでした: &quot;%1&quot; には設計がありません。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; no longer exists; it was removed from the recent files.</source>
        <translation>&quot;%1&quot; が見つからないため、最近使ったファイルの一覧から外しました。</translation>
    </message>
</context>
<context>
    <name>CAlign</name>
    <message>
        <source>Help</source>
        <translation>タイプとは</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長さ</translation>
    </message>
    <message>
        <source>Num of C.</source>
        <translation>結晶数</translation>
    </message>
    <message>
        <source>Rotate All</source>
        <translation>全体回転</translation>
    </message>
    <message>
        <source>Setup Type ::</source>
        <translation>配置タイプ</translation>
    </message>
    <message>
        <source>Start. Energy</source>
        <translation>エネルギー(起点)</translation>
    </message>
    <message>
        <source>Type 1</source>
        <translation>タイプ1</translation>
    </message>
    <message>
        <source>Type 2</source>
        <translation>タイプ2</translation>
    </message>
    <message>
        <source>Type 3</source>
        <translation>タイプ3</translation>
    </message>
    <message>
        <source>Type 4</source>
        <translation>タイプ4</translation>
    </message>
    <message>
        <source>Type 5</source>
        <translation>タイプ5</translation>
    </message>
    <message>
        <source>Type 6</source>
        <translation>タイプ6</translation>
    </message>
    <message>
        <source>Type 7</source>
        <translation>タイプ7</translation>
    </message>
    <message>
        <source>[eV]  dE</source>
        <translation>[eV]   ΔE</translation>
    </message>
    <message>
        <source>dX</source>
        <translation>間隔(X)</translation>
    </message>
    <message>
        <source>dY</source>
        <translation>間隔(Y)</translation>
    </message>
    <message>
        <source>en</source>
        <translation>ja</translation>
    </message>
</context>
<context>
    <name>CrystalPart</name>
    <message>
        <source>Crystal %1, %2 eV: %3</source>
        <translation>結晶 %1, %2 eV: %3</translation>
    </message>
    <message>
        <source>crystal surface</source>
        <translation>結晶面</translation>
    </message>
    <message>
        <source>incident centre ray</source>
        <translation>中心の入射光線</translation>
    </message>
    <message>
        <source>incident ray at the end point</source>
        <translation>終点の入射光線</translation>
    </message>
    <message>
        <source>incident ray at the start point</source>
        <translation>始点の入射光線</translation>
    </message>
    <message>
        <source>reflected centre ray</source>
        <translation>中心の反射光線</translation>
    </message>
    <message>
        <source>reflected ray from the end point</source>
        <translation>終点からの反射光線</translation>
    </message>
    <message>
        <source>reflected ray from the start point</source>
        <translation>始点からの反射光線</translation>
    </message>
</context>
<context>
    <name>FieldGuard</name>
    <message>
        <source>Not a number: %1</source>
        <translation>数値ではありません: %1</translation>
    </message>
    <message>
        <source>Not a whole number: %1</source>
        <translation>整数ではありません: %1</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(空欄)</translation>
    </message>
</context>
<context>
    <name>MCrystal</name>
    <message>
        <source>%1 %2 %3 is a forbidden reflection of %4: its structure factor is zero, so a crystal of this cut reflects nothing.</source>
        <translation>%1 %2 %3 は %4 の禁制反射です : 構造因子が 0 なので、この面で切り出した結晶は何も反射しません。</translation>
    </message>
    <message>
        <source>0 0 0 is no reflection: a crystal of this cut reflects nothing.</source>
        <translation>0 0 0 は反射ではありません : この面で切り出した結晶は何も反射しません。</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>面指数</translation>
    </message>
    <message>
        <source>Lattice C.</source>
        <translation>格子定数</translation>
    </message>
    <message>
        <source>Monochro. Crystal:  </source>
        <translation>分光結晶</translation>
    </message>
    <message>
        <source>d</source>
        <translation>面間隔</translation>
    </message>
    <message>
        <source>The Miller indices are not whole numbers up to 99: a crystal of this cut reflects nothing.</source>
        <translation>面指数が 99 以下の整数ではありません : この面で切り出した結晶は何も反射しません。</translation>
    </message>
</context>
</TS>
