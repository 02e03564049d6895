/*
 * The company row of a new company file (kesh0.fdb). The company data are filled in by the
 * "new company" dialog; nasiclase = 1 makes the program offer the standard chart.
 *
 * Billing concept sets, one per side, as fixed-width lists (one field per concept):
 *  - names, 20 characters each, in name order: Total, Neto gravado, concepts 2..10,
 *    Neto no gravado. Concepts 2..10 keep the meaning the VAT reports give them:
 *    2 and 3 the two VAT rates, 4 internal taxes, 5 VAT withholding, 6 VAT perception,
 *    7 gross-income withholding, 8 gross-income perception, 9 and 10 others;
 *  - rates, 4 digits each (2100 = 21.00 %), same order; only 2 and 3 are computed;
 *  - verification flags, same order: every configurable concept adds up to the total;
 *  - accounts, 20 characters each, in account order: all blank, since the chart is empty;
 *  - sides, in account order: purchases debit every concept and credit the total,
 *    sales the reverse.
 * Names stay ASCII so that a character is a byte in every reader of the fixed-width lists.
 */

insert into empresa (
  nombre, nasiclase, nivel, sucursal,
  cconceptos, calicuotas, ccalculo, ccodigos, cdeha, cmodo,
  vconceptos, valicuotas, vcalculo, vcodigos, vdeha, vmodo)
values (
  '', 1, 0, 0,
  'Total               ' || 'Neto gravado        ' || 'IVA 21%             ' ||
  'IVA 10.5%           ' || 'Imp. Internos       ' || 'Ret. IVA            ' ||
  'Perc. IVA           ' || 'Ret. Ing. Brutos    ' || 'Perc. Ing. Brutos   ' ||
  'Otros Impuestos     ' || 'Otros Conceptos     ' || 'Neto no gravado     ',
  '0000' || '0000' || '2100' || '1050' || '0000' || '0000' ||
  '0000' || '0000' || '0000' || '0000' || '0000' || '0000',
  '001111111110',
  rpad('', 240),
  'DDDDDDDDDDDC',
  0,
  'Total               ' || 'Neto gravado        ' || 'IVA 21%             ' ||
  'IVA 10.5%           ' || 'Imp. Internos       ' || 'Ret. IVA            ' ||
  'Perc. IVA           ' || 'Ret. Ing. Brutos    ' || 'Perc. Ing. Brutos   ' ||
  'Otros Impuestos     ' || 'Otros Conceptos     ' || 'Neto no gravado     ',
  '0000' || '0000' || '2100' || '1050' || '0000' || '0000' ||
  '0000' || '0000' || '0000' || '0000' || '0000' || '0000',
  '001111111110',
  rpad('', 240),
  'CCCCCCCCCCCD',
  0);
commit;
