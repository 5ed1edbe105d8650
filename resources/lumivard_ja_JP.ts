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
    <message>
        <source>The highest reflectivity of the intrinsic curve</source>
        <translation>固有の反射曲線の最大反射率</translation>
    </message>
    <message>
        <source>The integral of the reflectivity over the angle</source>
        <translation>反射率の角度積分</translation>
    </message>
    <message>
        <source>The half-peak energies of the efficiency with the source&apos;s spread of angles, and their middle (refraction included), about the crystal&apos;s label</source>
        <translation>光源の角度広がりを含めた効率の半値エネルギーとその中点 (屈折込み)。結晶の表示エネルギー基準</translation>
    </message>
    <message>
        <source>The highest share of the photons of one energy that meet the crystal and are reflected</source>
        <translation>あるエネルギーの光子のうち、結晶に当たって反射される割合の最大値</translation>
    </message>
    <message>
        <source>The eV of a flat spectrum the crystal passes: the integral of its efficiency over the energy</source>
        <translation>平坦なスペクトルのうち結晶が通す幅 (eV) : 効率のエネルギー積分</translation>
    </message>
    <message>
        <source>Peak R σ</source>
        <translation>ピーク R σ</translation>
    </message>
    <message>
        <source>Peak R π</source>
        <translation>ピーク R π</translation>
    </message>
    <message>
        <source>∫R σ
[µrad]</source>
        <translation>∫R σ
[µrad]</translation>
    </message>
    <message>
        <source>∫R π
[µrad]</source>
        <translation>∫R π
[µrad]</translation>
    </message>
    <message>
        <source>Effective low
[eV]</source>
        <translation>実効下端
[eV]</translation>
    </message>
    <message>
        <source>Effective high
[eV]</source>
        <translation>実効上端
[eV]</translation>
    </message>
    <message>
        <source>Effective centre
[eV]</source>
        <translation>実効中心
[eV]</translation>
    </message>
    <message>
        <source>Effective gap
[eV]</source>
        <translation>実効隙間
[eV]</translation>
    </message>
    <message>
        <source>The gap (positive) or overlap (negative) to the next effective band up in energy</source>
        <translation>エネルギーが一つ上の実効バンドとの隙間 (正) または重なり (負)</translation>
    </message>
    <message>
        <source>Peak
efficiency</source>
        <translation>ピーク
効率</translation>
    </message>
    <message>
        <source>Photons
[eV]</source>
        <translation>光子
[eV]</translation>
    </message>
    <message>
        <source>not lit</source>
        <translation>照射なし</translation>
    </message>
    <message>
        <source>No reflection: the crystal&apos;s angle gives no positive photon energy.</source>
        <translation>反射なし : 結晶の角度から正の光子エネルギーが得られません。</translation>
    </message>
    <message>
        <source>No reflection: %1 eV has no Bragg angle for d = %2 Å (it lies below the cut-off %3 eV, or the angle is the -1° of &quot;no reflection&quot;).</source>
        <translation>反射なし : d = %2 Å では %1 eV にブラッグ角がありません (遮断エネルギー %3 eV 未満か、角度が「反射なし」の -1°)。</translation>
    </message>
    <message>
        <source>Forbidden: the structure factor of %1 %2 %3 %4 is zero, so no crystal of this cut reflects.</source>
        <translation>禁制反射 : %1 %2 %3 %4 の構造因子が 0 で、この面で切り出した結晶は反射しません。</translation>
    </message>
    <message>
        <source>No data: 0 0 0 is no reflection.</source>
        <translation>データなし : 0 0 0 は反射ではありません。</translation>
    </message>
    <message>
        <source>No data: the Miller indices are not whole numbers up to 99.</source>
        <translation>データなし : ミラー指数が 99 以下の整数ではありません。</translation>
    </message>
    <message>
        <source>No data: there is no lattice constant of a real &quot;%1&quot; crystal.</source>
        <translation>データなし : 実際の「%1」結晶の格子定数がありません。</translation>
    </message>
    <message>
        <source>No data: the lattice constant of %1 is known from %2 to %3 °C, not at %4 °C; change the temperature in the Source group.</source>
        <translation>データなし : %1 の格子定数は %2 〜 %3 °C で分かっており、%4 °C では分かりません。光源グループで温度を変えてください。</translation>
    </message>
    <message>
        <source>No data: xraylib has no X-ray data for &quot;%1&quot; (%2).</source>
        <translation>データなし : xraylib に「%1」の X 線データがありません (%2)。</translation>
    </message>
    <message>
        <source>No data: the real crystal has no Bragg angle at this energy, or its reflectivity could not be evaluated.</source>
        <translation>データなし : 実際の結晶はこのエネルギーでブラッグ角を持たないか、反射率を計算できませんでした。</translation>
    </message>
    <message>
        <source>Not lit: no ray of the source meets this crystal (within 6 standard deviations of its size and 7 of its divergence), or it does not lie wholly downstream of the source.</source>
        <translation>照射なし : 光源の光線がこの結晶に当たりません (サイズの標準偏差の 6 倍、発散の 7 倍以内)。または結晶全体が光源より下流にありません。</translation>
    </message>
    <message>
        <source>No effective band: the chosen polarisation does not reflect here (π at 2θ = 90°).</source>
        <translation>実効バンドなし : 選んだ偏光はここで反射しません (2θ = 90° の π)。</translation>
    </message>
    <message>
        <source>%1 % of %2 to %3 eV covered by %4 %5; %6</source>
        <translation>%2 〜 %3 eV の %1 % を %4 本の%5が被覆。%6</translation>
    </message>
    <message>
        <source>With the source:</source>
        <translation>光源込み : </translation>
    </message>
    <message>
        <source>Harmonics:</source>
        <translation>高調波 : </translation>
    </message>
    <message>
        <source>Source</source>
        <translation>光源</translation>
    </message>
    <message>
        <source>Distance:</source>
        <translation>距離 :</translation>
    </message>
    <message>
        <source>[length unit]</source>
        <translation>[長さの単位]</translation>
    </message>
    <message>
        <source>From crystal 1&apos;s centre upstream along the incident beam</source>
        <translation>結晶 1 の中心から入射ビームを上流へ測った距離</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>サイズ :</translation>
    </message>
    <message>
        <source>[length unit, FWHM]</source>
        <translation>[長さの単位、半値全幅]</translation>
    </message>
    <message>
        <source>Gaussian across the beam; 0 for a point source</source>
        <translation>ビームを横切るガウス分布。点光源は 0</translation>
    </message>
    <message>
        <source>Divergence:</source>
        <translation>発散 :</translation>
    </message>
    <message>
        <source>[µrad, FWHM]</source>
        <translation>[µrad、半値全幅]</translation>
    </message>
    <message>
        <source>Gaussian spread of the rays&apos; directions; 0 for the parallel beam of the design</source>
        <translation>光線の方向のガウス分布の広がり。設計の平行ビームは 0</translation>
    </message>
    <message>
        <source>σ</source>
        <translation>σ</translation>
    </message>
    <message>
        <source>π</source>
        <translation>π</translation>
    </message>
    <message>
        <source>Unpolarised</source>
        <translation>無偏光</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>偏光度</translation>
    </message>
    <message>
        <source>The linear polarisation of the incident beam: σ has its electric field in the crystal surfaces</source>
        <translation>入射ビームの直線偏光。σ は電場が結晶表面内にあります</translation>
    </message>
    <message>
        <source>Polarisation:</source>
        <translation>偏光 :</translation>
    </message>
    <message>
        <source>The degree of linear polarisation: 1 σ, -1 π, 0 unpolarised; the share (1 + degree) / 2 of the intensity is σ</source>
        <translation>直線偏光度 : 1 が σ、-1 が π、0 が無偏光。強度の (1 + 偏光度) / 2 が σ</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>温度 :</translation>
    </message>
    <message>
        <source>[°C]</source>
        <translation>[°C]</translation>
    </message>
    <message>
        <source>Of the crystals: it sets the lattice constant of the real crystals, and so their reflectivity</source>
        <translation>結晶の温度 : 実際の結晶の格子定数、ひいては反射率を決めます</translation>
    </message>
    <message>
        <source>Use Accepted Lattice Constant</source>
        <translation>標準格子定数を使う</translation>
    </message>
    <message>
        <source>Where a real crystal reflects</source>
        <translation>実際の結晶の反射位置</translation>
    </message>
    <message>
        <source>Draws the bars where a real crystal at the temperature reflects at the crystal&apos;s angle (the lattice offset added) instead of about the design&apos;s labels</source>
        <translation>バーを設計の表示エネルギー基準ではなく、その温度の実際の結晶が結晶の角度で反射するエネルギー (格子定数ずれを加算) に描きます</translation>
    </message>
    <message>
        <source>Export Table...</source>
        <translation>表をエクスポート...</translation>
    </message>
    <message>
        <source>Rays</source>
        <translation>光線</translation>
    </message>
    <message>
        <source>The lattice constant of %1 is known from %2 to %3 °C, not at %4 °C</source>
        <translation>%1 の格子定数は %2 〜 %3 °C で分かっており、%4 °C では分かりません</translation>
    </message>
    <message>
        <source>No accepted lattice constant for this material</source>
        <translation>この材料の標準格子定数はありません</translation>
    </message>
    <message>
        <source>Sets Lattice C. to %1 Å, the lattice constant of a real %2 crystal at %3 °C (one undo step)</source>
        <translation>格子定数を %3 °C の実際の %2 結晶の格子定数 %1 Å にします (元に戻す 1 手順)</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(空欄)</translation>
    </message>
    <message>
        <source>The distance is a number above 0, not %1.</source>
        <translation>距離は 0 より大きい数です。%1 ではありません。</translation>
    </message>
    <message>
        <source>The size is a number from 0 up, not %1.</source>
        <translation>サイズは 0 以上の数です。%1 ではありません。</translation>
    </message>
    <message>
        <source>The divergence is a number from 0 to %1 µrad, not %2.</source>
        <translation>発散は 0 〜 %1 µrad の数です。%2 ではありません。</translation>
    </message>
    <message>
        <source>The degree of polarisation is a number from -1 (π) to 1 (σ), not %1.</source>
        <translation>偏光度は -1 (π) 〜 1 (σ) の数です。%1 ではありません。</translation>
    </message>
    <message>
        <source>The temperature is a number above -273.15 °C, not %1.</source>
        <translation>温度は -273.15 °C より高い数です。%1 ではありません。</translation>
    </message>
    <message>
        <source>bands</source>
        <translation>バンド</translation>
    </message>
    <message>
        <source>unpolarised</source>
        <translation>無偏光</translation>
    </message>
    <message>
        <source>degree %1</source>
        <translation>偏光度 %1</translation>
    </message>
    <message>
        <source>a parallel beam, %1</source>
        <translation>平行ビーム、%1</translation>
    </message>
    <message>
        <source>divergence %1 µrad, size %2 at %3, %4</source>
        <translation>発散 %1 µrad、距離 %3 でサイズ %2、%4</translation>
    </message>
    <message>
        <source>no effective bands (%1): no crystal that reflects is lit</source>
        <translation>実効バンドなし (%1) : 反射する結晶に光が当たりません</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>effective bands</source>
        <translation>実効バンド</translation>
    </message>
    <message>
        <source>none up to %1 keV at %2 eV</source>
        <translation>%2 eV では %1 keV までなし</translation>
    </message>
    <message>
        <source>%1 %2 %3 at %4 eV: peak R %5, band %6 eV</source>
        <translation>%1 %2 %3 : %4 eV、ピーク R %5、バンド %6 eV</translation>
    </message>
    <message>
        <source>at the angle of %1 eV: %2</source>
        <translation>%1 eV の角度で %2</translation>
    </message>
    <message>
        <source>; </source>
        <translation>。</translation>
    </message>
    <message>
        <source>design %1 Å; the lattice constant of %2 is known from %3 to %4 °C, not at %5 °C: no reflectivity</source>
        <translation>設計値 %1 Å。%2 の格子定数は %3 〜 %4 °C で分かっており、%5 °C では分からないため反射率なし</translation>
    </message>
    <message>
        <source>least squares of the %4 crystals that reflect (%1, %2), RMS %3</source>
        <translation>反射する %4 個の結晶の最小二乗 (%1, %2)、RMS %3</translation>
    </message>
    <message>
        <source>%1; %2 (in the design&apos;s length unit); %3 of %4 pairs cross behind the crystals, %5 parallel pairs counted at the origin</source>
        <translation>%1。%2 (設計の長さの単位)。%4 組中 %3 組が結晶の後方で交差、平行な %5 組は原点として平均</translation>
    </message>
    <message>
        <source>No bands: the design has no crystals.</source>
        <translation>バンドなし : 設計に結晶がありません。</translation>
    </message>
    <message>
        <source>No bands. %1</source>
        <translation>バンドなし。%1</translation>
    </message>
    <message>
        <source>Energy where a real crystal reflects [eV]</source>
        <translation>実際の結晶が反射するエネルギー [eV]</translation>
    </message>
    <message>
        <source>Energy about the design&apos;s labels [eV]</source>
        <translation>設計の表示エネルギー基準のエネルギー [eV]</translation>
    </message>
    <message>
        <source>Crystal (0: coverage)</source>
        <translation>結晶 (0 : 被覆)</translation>
    </message>
    <message>
        <source>intrinsic σ band</source>
        <translation>固有 σ バンド</translation>
    </message>
    <message>
        <source>intrinsic π band</source>
        <translation>固有 π バンド</translation>
    </message>
    <message>
        <source>effective band (source)</source>
        <translation>実効バンド (光源込み)</translation>
    </message>
    <message>
        <source>real crystal&apos;s energy</source>
        <translation>実際の結晶のエネルギー</translation>
    </message>
    <message>
        <source>label energy</source>
        <translation>表示エネルギー</translation>
    </message>
    <message>
        <source>covered (effective)</source>
        <translation>被覆 (実効)</translation>
    </message>
    <message>
        <source>gap</source>
        <translation>隙間</translation>
    </message>
    <message>
        <source>%1 eV</source>
        <translation>%1 eV</translation>
    </message>
    <message>
        <source>crystal %1: %2 to %3 eV, effective %4 to %5 eV</source>
        <translation>結晶 %1 : %2 〜 %3 eV、実効 %4 〜 %5 eV</translation>
    </message>
    <message>
        <source>Export Bands Table</source>
        <translation>バンド表のエクスポート</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV 表 (*.csv)</translation>
    </message>
    <message>
        <source>Any File (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Nothing was exported: &quot;%1&quot; cannot be written.</source>
        <translation>エクスポートされませんでした: &quot;%1&quot; に書き込めません。</translation>
    </message>
    <message>
        <source>%1; and %2 more up to %3 keV</source>
        <translation>%1。ほか %3 keV までに %2 本</translation>
    </message>
    <message>
        <source>no effective bands (%1)</source>
        <translation>実効バンドなし (%1)</translation>
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
    <message>
        <source>Least-Sq. Focus::</source>
        <translation>最小二乗焦点 : </translation>
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
        <source>The Miller indices are not whole numbers: a crystal of this cut reflects nothing.</source>
        <translation>ミラー指数が整数ではありません: この面の結晶は何も反射しません。</translation>
    </message>
    <message>
        <source>The spacing %1 Å is below half the wavelength at the start energy (%2 Å at %3 eV): no crystal of this cut reflects it.</source>
        <translation>面間隔 %1 Å が起点エネルギーの波長の半分 (%3 eV で %2 Å) より小さいため、この面の結晶は反射しません。</translation>
    </message>
    <message>
        <source>Indices beyond %1 are outside the tables of the Bands window: it gives this reflection no band.</source>
        <translation>%1 を超える指数はバンド表示の表の範囲外です: この反射にはバンドがありません。</translation>
    </message>
</context>
<context>
    <name>RaysTab</name>
    <message>
        <source>How many rays leave the source (1 to %1)</source>
        <translation>光源から出る光線の数 (1 〜 %1)</translation>
    </message>
    <message>
        <source>The same seed traces the same rays</source>
        <translation>同じシードは同じ光線を追跡します</translation>
    </message>
    <message>
        <source>Trace Rays</source>
        <translation>光線追跡</translation>
    </message>
    <message>
        <source>Scale Reset</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>Trace rays from the source through the array to check the analytic bands.</source>
        <translation>光源から結晶列へ光線を追跡し、解析的なバンドを確かめます。</translation>
    </message>
    <message>
        <source>Rays:</source>
        <translation>光線数 :</translation>
    </message>
    <message>
        <source>Seed:</source>
        <translation>シード :</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>番号</translation>
    </message>
    <message>
        <source>Hits</source>
        <translation>入射</translation>
    </message>
    <message>
        <source>Reflected</source>
        <translation>反射</translation>
    </message>
    <message>
        <source>FWHM
[eV]</source>
        <translation>半値幅
[eV]</translation>
    </message>
    <message>
        <source>±
[eV]</source>
        <translation>±
[eV]</translation>
    </message>
    <message>
        <source>Analytic
[eV]</source>
        <translation>解析値
[eV]</translation>
    </message>
    <message>
        <source>Peak
efficiency</source>
        <translation>ピーク
効率</translation>
    </message>
    <message>
        <source>±</source>
        <translation>±</translation>
    </message>
    <message>
        <source>Analytic</source>
        <translation>解析値</translation>
    </message>
    <message>
        <source>Photons
[eV]</source>
        <translation>光子
[eV]</translation>
    </message>
    <message>
        <source>Spot FWHM</source>
        <translation>スポット半値幅</translation>
    </message>
    <message>
        <source>The number of rays is a whole number from 1 to %1.</source>
        <translation>光線数は 1 〜 %1 の整数です。</translation>
    </message>
    <message>
        <source>The seed is a whole number from 0 to %1.</source>
        <translation>シードは 0 〜 %1 の整数です。</translation>
    </message>
    <message>
        <source>Tracing %1 rays...</source>
        <translation>%1 本の光線を追跡中...</translation>
    </message>
    <message>
        <source>The design changed while the rays ran: trace them again.</source>
        <translation>追跡中に設計が変わりました。もう一度追跡してください。</translation>
    </message>
    <message>
        <source>The design has changed since the last trace: trace the rays again.</source>
        <translation>前回の追跡の後に設計が変わりました。もう一度追跡してください。</translation>
    </message>
    <message>
        <source>No rays: the source lights no crystal that reflects (see the Bands tab).</source>
        <translation>光線なし : 光源は反射する結晶を照らしていません (バンドのタブを参照)。</translation>
    </message>
    <message>
        <source>%1 rays, seed %2: %3 met a crystal, %4 were reflected (%5 s).</source>
        <translation>光線 %1 本、シード %2 : %3 本が結晶に当たり、%4 本が反射 (%5 秒)。</translation>
    </message>
    <message>
        <source>The traced efficiency of every crystal against the energy shows here once the rays have run.</source>
        <translation>光線の追跡後、各結晶の効率をエネルギーに対してここに示します。</translation>
    </message>
    <message>
        <source>Energy where a real crystal reflects [eV]</source>
        <translation>実際の結晶が反射するエネルギー [eV]</translation>
    </message>
    <message>
        <source>Energy about the crystals&apos; labels [eV]</source>
        <translation>結晶の表示エネルギー基準のエネルギー [eV]</translation>
    </message>
    <message>
        <source>Efficiency</source>
        <translation>効率</translation>
    </message>
    <message>
        <source>traced, per crystal</source>
        <translation>追跡 (結晶ごと)</translation>
    </message>
    <message>
        <source>analytic band at half peak</source>
        <translation>半値での解析的バンド</translation>
    </message>
    <message>
        <source>No spot: the reflected rays have no least-squares focus.</source>
        <translation>スポットなし : 反射光線の最小二乗焦点がありません。</translation>
    </message>
    <message>
        <source>The spot of the reflected rays at the least-squares focus shows here once the rays have run.</source>
        <translation>光線の追跡後、最小二乗焦点での反射光線のスポットをここに示します。</translation>
    </message>
    <message>
        <source>Across the mean reflected ray at the least-squares focus [length unit]</source>
        <translation>最小二乗焦点で平均反射光線を横切る位置 [長さの単位]</translation>
    </message>
    <message>
        <source>Reflected rays</source>
        <translation>反射光線</translation>
    </message>
    <message>
        <source>all crystals</source>
        <translation>全結晶</translation>
    </message>
    <message>
        <source>per crystal</source>
        <translation>結晶ごと</translation>
    </message>
    <message>
        <source>The source has neither size nor divergence: every ray follows one line. Give it a size to light the whole array.</source>
        <translation>光源にサイズも発散もないため、すべての光線が 1 本の線上を進みます。結晶列全体を照らすにはサイズを与えてください。</translation>
    </message>
    <message>
        <source>Half the crystals reflected fewer than %1 rays: their traced widths are rough; trace more rays.</source>
        <translation>半数の結晶で反射した光線が %1 本未満のため、追跡した幅は粗い値です。光線を増やしてください。</translation>
    </message>
</context>
<context>
    <name>DesignNotices</name>
    <message>
        <source>At most %1 crystals</source>
        <translation>結晶数は最大 %1 です</translation>
    </message>
    <message>
        <source>A count of %1 lays out no crystal</source>
        <translation>結晶数 %1 では結晶は配置されません</translation>
    </message>
    <message>
        <source>A count of %1 lays out one crystal</source>
        <translation>結晶数 %1 のため結晶を1個配置しました</translation>
    </message>
    <message>
        <source>A count of %1 lays out %2 crystals</source>
        <translation>結晶数 %1 のため結晶を%2個配置しました</translation>
    </message>
    <message>
        <source>Laid out again: 1 crystal edited by hand was replaced (Ctrl+Z brings it back)</source>
        <translation>再配置: 手で編集した結晶1個を置き換えました (Ctrl+Z で戻せます)</translation>
    </message>
    <message>
        <source>Laid out again: %1 crystals edited by hand were replaced (Ctrl+Z brings them back)</source>
        <translation>再配置: 手で編集した結晶%1個を置き換えました (Ctrl+Z で戻せます)</translation>
    </message>
    <message>
        <source>line %1 (%2): unknown key</source>
        <translation>%1 行目 (%2): 不明なキー</translation>
    </message>
    <message>
        <source>line %1 (%2): not a number</source>
        <translation>%1 行目 (%2): 数値ではありません</translation>
    </message>
    <message>
        <source>line %1 (%2): a value the field does not take</source>
        <translation>%1 行目 (%2): この欄が受け付けない値</translation>
    </message>
    <message>
        <source>line %1 (%2): no such crystal</source>
        <translation>%1 行目 (%2): その結晶はありません</translation>
    </message>
    <message>
        <source>the file ends before &quot;# New Layout&quot;</source>
        <translation>ファイルが「# New Layout」の前で終わっています</translation>
    </message>
    <message>
        <source>the file ends before crystal %1</source>
        <translation>ファイルが結晶 %1 の前で終わっています</translation>
    </message>
    <message>
        <source>the file ends before crystals %1 to %2</source>
        <translation>ファイルが結晶 %1 から %2 の前で終わっています</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>ほか %1 件</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was loaded, but not all of its lines were understood:</source>
        <translation>「%1」をロードしましたが、解釈できない行がありました:</translation>
    </message>
</context>
<context>
    <name>NoReflectionText</name>
    <message>
        <source>No Bragg reflection: %1 eV is below the %2 cut-off of %3 eV</source>
        <translation>ブラッグ反射なし: %1 eV は %2 の下限 %3 eV より低いエネルギーです</translation>
    </message>
    <message>
        <source>No Bragg reflection: %1 eV is at the %2 cut-off of %3 eV</source>
        <translation>ブラッグ反射なし: %1 eV は %2 の下限 %3 eV ちょうどです</translation>
    </message>
    <message>
        <source>No Bragg reflection: an energy of 0 eV has no Bragg angle</source>
        <translation>ブラッグ反射なし: 0 eV にはブラッグ角がありません</translation>
    </message>
    <message>
        <source>No Bragg reflection: %1 eV is a negative energy</source>
        <translation>ブラッグ反射なし: %1 eV は負のエネルギーです</translation>
    </message>
    <message>
        <source>No Bragg reflection: the energy of this angle is not finite</source>
        <translation>ブラッグ反射なし: この角度のエネルギーは有限ではありません</translation>
    </message>
    <message>
        <source>No Bragg reflection: the angle of -1° marks an energy below the %1 cut-off of %2 eV</source>
        <translation>ブラッグ反射なし: 角度 -1° は %1 の下限 %2 eV より低いエネルギーの印です</translation>
    </message>
    <message>
        <source>No Bragg reflection: the planes have no spacing (d = %1 Å)</source>
        <translation>ブラッグ反射なし: 面間隔がありません (d = %1 Å)</translation>
    </message>
    <message>
        <source>No crystal can reflect: a lattice constant of %1 Å gives the planes no spacing</source>
        <translation>どの結晶も反射できません: 格子定数 %1 Å では面間隔がありません</translation>
    </message>
    <message>
        <source>No crystal can reflect: 0 0 0 are no planes</source>
        <translation>どの結晶も反射できません: 0 0 0 は面ではありません</translation>
    </message>
    <message>
        <source>No crystal can reflect: Miller indices are whole numbers, and %1 is not</source>
        <translation>どの結晶も反射できません: ミラー指数は整数ですが %1 は整数ではありません</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1～%2</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 と %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1 and others</source>
        <translation>%1 ほか</translation>
    </message>
    <message>
        <source>Crystal %1 has no Bragg reflection</source>
        <translation>結晶 %1 はブラッグ反射しません</translation>
    </message>
    <message>
        <source>Crystals %1 have no Bragg reflection</source>
        <translation>結晶 %1 はブラッグ反射しません</translation>
    </message>
    <message>
        <source>%1: its energy falls below the %2 eV cut-off</source>
        <translation>%1: エネルギーが下限 %2 eV より低いためです</translation>
    </message>
    <message>
        <source>%1: their energies fall below the %2 eV cut-off</source>
        <translation>%1: エネルギーが下限 %2 eV より低いためです</translation>
    </message>
    <message>
        <source>%1: the planes have no spacing (d = %2 Å)</source>
        <translation>%1: 面間隔がありません (d = %2 Å)</translation>
    </message>
</context>
<context>
    <name>PlotControl</name>
    <message>
        <source>no focus: fewer than two reflecting crystals</source>
        <translation>焦点なし: 反射する結晶が2個未満です</translation>
    </message>
    <message>
        <source>1 parallel pair</source>
        <translation>平行な組1つ</translation>
    </message>
    <message>
        <source>%1 parallel pairs</source>
        <translation>平行な組%1</translation>
    </message>
    <message>
        <source>1 pair crossing behind the crystals</source>
        <translation>結晶の後ろで交わる組1つ</translation>
    </message>
    <message>
        <source>%1 pairs crossing behind the crystals</source>
        <translation>結晶の後ろで交わる組%1</translation>
    </message>
    <message>
        <source>Includes %1 counted at (0, 0) and %2</source>
        <translation>(0, 0) として数えた%1と%2を含みます</translation>
    </message>
    <message>
        <source>Includes %1 counted at (0, 0)</source>
        <translation>(0, 0) として数えた%1を含みます</translation>
    </message>
    <message>
        <source>Includes %1</source>
        <translation>%1を含みます</translation>
    </message>
    <message>
        <source>%1, RMS %2</source>
        <translation>%1, RMS %2</translation>
    </message>
    <message>
        <source>none: the reflected lines do not meet</source>
        <translation>なし: 反射線が交わりません</translation>
    </message>
</context>
</TS>
